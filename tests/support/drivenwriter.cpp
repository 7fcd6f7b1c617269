#include "drivenwriter.h"

#include <cstdio>

DrivenWriter::DrivenWriter(const QString &p, const QByteArray &t, Kind k, qsizetype at)
    : path(p), text(t), kind(k), cut(at < 0 ? t.size() / 2 : at)
{
}

bool DrivenWriter::Begin()
{
    switch (kind) {
    case TwoSteps:
        file.setFileName(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
               file.write(text.first(cut)) == cut;
    case RenameOver: {
        QFile aside(path + QStringLiteral(".writer"));
        return aside.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               aside.write(text) == text.size();
    }
    case InPlace:
        file.setFileName(path);
        return file.size() == text.size() &&
               file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) &&
               file.write(text.first(cut)) == cut;
    }
    return false;
}

bool DrivenWriter::Finish()
{
    if (kind == RenameOver)
        return std::rename(QFile::encodeName(path + QStringLiteral(".writer")).constData(),
                           QFile::encodeName(path).constData()) == 0;
    const bool written = file.write(text.sliced(cut)) == text.size() - cut;
    file.close();
    return written;
}

QByteArray DrivenWriter::Half() const
{
    return text.first(cut);
}
