#include "logtext.h"

#include <algorithm>

#include "filelocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#define PCRE2_CODE_UNIT_WIDTH 0
#include <pcre2.h>

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

struct LogFilter::Compiled
{
    pcre2_code_16 *code = nullptr;
    ~Compiled() { pcre2_code_free_16(code); }
};

LogFilter LogFilter::Parse(const QString &typed)
{
    LogFilter filter;
    filter.text = typed;
    filter.regular = typed.startsWith(QLatin1Char('/'));
    if (!filter.regular)
        return filter;
    const QStringView pattern = QStringView(typed).sliced(1);
    int error = 0;
    PCRE2_SIZE offset = 0;
    auto compiled = std::make_shared<Compiled>();
    compiled->code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()),
                                      PCRE2_SIZE(pattern.size()), PCRE2_UTF | PCRE2_CASELESS,
                                      &error, &offset, nullptr);
    if (!compiled->code) {
        PCRE2_UCHAR16 message[256];
        const int length = pcre2_get_error_message_16(error, message, 256);
        filter.problem =
            QCoreApplication::translate("LogViewer", "%1 at character %2")
                .arg(length > 0
                         ? QString::fromUtf16(reinterpret_cast<const char16_t *>(message), length)
                         : QString::number(error))
                .arg(qulonglong(offset) + 1);
        return filter;
    }
    // Compiled to machine code where the system can: a line is searched several times faster.
    pcre2_jit_compile_16(compiled->code, PCRE2_JIT_COMPLETE);
    filter.compiled = std::move(compiled);
    return filter;
}

LogFilter::Result LogFilter::Test(QStringView line) const
{
    if (text.isEmpty())
        return Result::Yes;
    if (!regular)
        return line.contains(text, Qt::CaseInsensitive) ? Result::Yes : Result::No;
    if (!compiled)
        return Result::No;
    // Each thread its own: match data and contexts are not shared between threads.
    struct Scratch
    {
        pcre2_match_data_16 *data = pcre2_match_data_create_16(1, nullptr);
        pcre2_match_context_16 *context = pcre2_match_context_create_16(nullptr);
        Scratch()
        {
            pcre2_set_match_limit_16(context, StepsPerLine);
            pcre2_set_depth_limit_16(context, StepsPerLine);
            pcre2_set_heap_limit_16(context, 20 * 1024); // KiB
        }
        ~Scratch()
        {
            pcre2_match_context_free_16(context);
            pcre2_match_data_free_16(data);
        }
    };
    thread_local Scratch scratch;
    const int result = pcre2_match_16(compiled->code, reinterpret_cast<PCRE2_SPTR16>(line.utf16()),
                                      PCRE2_SIZE(line.size()), 0, 0, scratch.data, scratch.context);
    if (result >= 0)
        return Result::Yes;
    if (result == PCRE2_ERROR_MATCHLIMIT || result == PCRE2_ERROR_DEPTHLIMIT ||
        result == PCRE2_ERROR_HEAPLIMIT || result == PCRE2_ERROR_JIT_STACKLIMIT)
        return Result::TooCostly;
    return Result::No;
}

LogMatches MatchingLines(const LogText &log, const LogFilter &filter, qsizetype from, qsizetype to,
                         const std::function<bool()> &stop)
{
    LogMatches matches;
    if (!filter.Problem().isEmpty())
        return matches;
    const qsizetype end = to < 0 ? log.LineCount() : qMin(to, log.LineCount());
    for (qsizetype i = from; i < end; ++i) {
        if (stop && stop())
            break;
        switch (filter.Test(log.Line(i))) {
        case LogFilter::Result::Yes:
            matches.lines.append(i);
            break;
        case LogFilter::Result::TooCostly:
            ++matches.tooCostly;
            break;
        case LogFilter::Result::No:
            break;
        }
    }
    return matches;
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

QString LogExcerpt(const QString &path, int head, int tail)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // The first lines come from the start, the last from the end, and the lines between are
    // only counted: a log may be long, and its reason is often in its first lines.
    constexpr qint64 Piece = 64 * 1024;
    const qint64 size = file.size();
    const QByteArray start = file.read(Piece);
    if (start.isEmpty())
        return QString();
    QList<QByteArray> first = start.split('\n');
    QList<QByteArray> last;
    qint64 lineEnds = start.count('\n');
    if (size <= Piece) {
        last = first;
    } else {
        for (qint64 at = Piece; at < size - Piece;) {
            const QByteArray chunk = file.read(qMin<qint64>(1 << 20, size - Piece - at));
            if (chunk.isEmpty())
                break;
            lineEnds += chunk.count('\n');
            at += chunk.size();
        }
        file.seek(qMax<qint64>(Piece, size - Piece));
        const QByteArray end = file.readAll();
        lineEnds += end.count('\n');
        last = end.split('\n');
    }
    // A final line end closes the last line; it starts none.
    const bool closed = last.last().isEmpty();
    if (closed)
        last.removeLast();
    const qint64 lines = closed ? lineEnds : lineEnds + 1;
    if (lines <= head + tail)
        return QString::fromUtf8(last.join('\n'));
    QList<QByteArray> shown = first.first(qMin<qsizetype>(head, first.size()));
    shown.append(QCoreApplication::translate("Emulators", "[lines left out: %n]", nullptr,
                                             int(lines - head - tail))
                     .toUtf8());
    shown += last.mid(qMax<qsizetype>(0, last.size() - tail));
    return QString::fromUtf8(shown.join('\n'));
}
