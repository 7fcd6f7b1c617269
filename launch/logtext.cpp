#include "logtext.h"

#include <algorithm>

#include "instances.h"
#include "instances_p.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstring>

LogText::Read LogText::ReadMore(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return Read::Failed;
    const qint64 size = in.size();
    // A log only grows; one that shrank was begun anew.
    const bool restart = file != path || size < bytes.size();
    if (restart) {
        path = file;
        bytes.clear();
        starts.clear();
    }
    if (size == bytes.size() && !restart)
        return Read::Unchanged;
    if (!in.seek(bytes.size()))
        return Read::Failed;
    const QByteArray more = in.readAll();
    if (more.isEmpty())
        return restart ? Read::Restarted : Read::Unchanged;
    // An open last line is indexed again with what completes it.
    const qsizetype from = LastLineOpen() ? starts.takeLast() : bytes.size();
    bytes.append(more);
    IndexFrom(from);
    return restart ? Read::Restarted : Read::Grown;
}

void LogText::IndexFrom(qsizetype from)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = from;
    while (at < size) {
        starts.append(at);
        const void *end = std::memchr(data + at, '\n', size_t(size - at));
        if (!end)
            break;
        at = static_cast<const char *>(end) - data + 1;
    }
}

QString LogText::Line(qsizetype index) const
{
    if (index < 0 || index >= starts.size())
        return QString();
    const qsizetype start = starts.at(index);
    qsizetype end = index + 1 < starts.size() ? starts.at(index + 1) : bytes.size();
    if (end > start && bytes.at(end - 1) == '\n')
        --end;
    if (end > start && bytes.at(end - 1) == '\r')
        --end;
    return QString::fromUtf8(bytes.constData() + start, end - start);
}

LogFilter LogFilter::Parse(const QString &typed)
{
    LogFilter filter;
    filter.text = typed;
    filter.regular = typed.startsWith(QLatin1Char('/'));
    if (filter.regular)
        filter.expression =
            QRegularExpression(typed.mid(1), QRegularExpression::CaseInsensitiveOption);
    return filter;
}

QString LogFilter::Problem() const
{
    return regular && !expression.isValid() ? expression.errorString() : QString();
}

bool LogFilter::Matches(const QString &line) const
{
    if (text.isEmpty())
        return true;
    if (regular)
        return expression.isValid() && expression.match(line).hasMatch();
    return line.contains(text, Qt::CaseInsensitive);
}

QList<qsizetype> MatchingLines(const LogText &log, const LogFilter &filter, qsizetype from)
{
    QList<qsizetype> lines;
    if (!filter.Problem().isEmpty())
        return lines;
    for (qsizetype i = from; i < log.LineCount(); ++i) {
        if (filter.Matches(log.Line(i)))
            lines.append(i);
    }
    return lines;
}

QStringList LogsOf(const QString &profile)
{
    // Named "<start time>-<profile, made safe for a file name>[+<n>].log": the names give the
    // order. The part after the time is the whole name's, not the end of a longer one.
    static const QRegularExpression own(
        QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-(.*?)(\\+\\d{1,4})?\\.log$"));
    const QString part = SafeFilePart(profile);
    struct Log
    {
        QString name;
        int n;
    };
    QList<Log> found;
    for (const QString &name : QDir(LogDirectory()).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = own.match(name);
        if (IsLogName(name) && match.hasMatch() && match.captured(1) == part)
            found.append(
                {name, match.captured(2).isEmpty() ? 1 : match.captured(2).mid(1).toInt()});
    }
    // Newest first: by the start time, then by the number a log of the same moment got.
    std::sort(found.begin(), found.end(), [](const Log &a, const Log &b) {
        const int time = QStringView(a.name).first(19).compare(QStringView(b.name).first(19));
        return time != 0 ? time > 0 : a.n > b.n;
    });
    QStringList logs;
    for (const Log &log : std::as_const(found))
        logs.append(LogDirectory() + QLatin1Char('/') + log.name);
    return logs;
}

QString SaveLogLines(const LogText &log, const QList<qsizetype> *lines, const QString &path)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return out.errorString();
    bool written = true;
    if (!lines) {
        written = out.write(log.Bytes()) == log.Bytes().size();
    } else {
        QByteArray text;
        for (const qsizetype line : *lines)
            text += log.Line(line).toUtf8() + '\n';
        written = out.write(text) == text.size();
    }
    if (!written || !out.commit()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return reason;
    }
    return QString();
}
