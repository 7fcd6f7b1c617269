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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Opens `path` as a log into `in`: only a plain file is a log, and opening never waits (a FIFO
// put in a log's place would hold the window until someone wrote to it).
static bool OpenPlainLog(const QString &path, QFile &in, struct stat *st)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode) ||
        !in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// Which file it is: its device and inode, the same way for every look.
static QByteArray IdentityOf(const struct stat &st)
{
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}

LogText::Read LogText::ReadMore(const QString &file)
{
    QFile in;
    struct stat st = {};
    if (!OpenPlainLog(file, in, &st))
        return Read::Failed;
    const qint64 size = qint64(st.st_size);
    const QByteArray identity = IdentityOf(st);
    const qint64 end = offset + bytes.size();
    // A log only grows; one that shrank, another file put in its place, or one written anew
    // (the bytes where the window starts differ) is read again.
    bool restart = file != path || identity != fileIdentity || size < end;
    if (!restart && !bytes.isEmpty()) {
        const qsizetype compared = qMin<qsizetype>(bytes.size(), 4096);
        restart = !in.seek(offset) || in.read(compared) != bytes.first(compared);
    }
    if (restart) {
        path = file;
        fileIdentity = identity;
        return ReadTail(in, size);
    }
    fileSize = size;
    // An earlier part is shown: the user reads there, and the end is read when they go to it.
    if (!atEnd || size == end)
        return Read::Unchanged;
    // More came than the window holds: its end is all that is kept anyway.
    if (size - end > window)
        return ReadTail(in, size);
    if (!in.seek(end))
        return Read::Failed;
    const QByteArray more = in.read(size - end);
    if (more.isEmpty())
        return Read::Unchanged;
    // An open last line is indexed again with what completes it.
    const qsizetype from = LastLineOpen() ? starts.takeLast() : bytes.size();
    bytes.append(more);
    IndexFrom(from);
    // The window moves on in steps of half of it, not at every line.
    if (bytes.size() > window + window / 2 || starts.size() > maxLines + maxLines / 2) {
        Bound(false);
        return Read::Restarted;
    }
    return Read::Grown;
}

LogText::Read LogText::ReadTail(QFile &in, qint64 size)
{
    bytes.clear();
    starts.clear();
    atEnd = true;
    fileSize = size;
    offset = qMax<qint64>(0, size - window);
    if (offset > 0) {
        // The window begins with a line: after the first line end in it, unless the last line
        // alone is longer than the window.
        if (!in.seek(offset - 1))
            return Read::Failed;
        bytes = in.read(size - offset + 1);
        const qsizetype lineEnd = bytes.indexOf('\n');
        const qsizetype cut = lineEnd >= 0 && lineEnd < bytes.size() - 1 ? lineEnd + 1 : 1;
        bytes.remove(0, qMin(cut, bytes.size()));
        offset += cut - 1;
    } else {
        if (!in.seek(0))
            return Read::Failed;
        bytes = in.read(size);
    }
    IndexFrom(0);
    Bound(false);
    return Read::Restarted;
}

qsizetype LogText::ReadEarlier()
{
    if (offset == 0 || path.isEmpty())
        return 0;
    QFile in;
    struct stat st = {};
    if (!OpenPlainLog(path, in, &st) || IdentityOf(st) != fileIdentity)
        return 0;
    qint64 from = qMax<qint64>(0, offset - qMax<qint64>(1, window / 2));
    const qint64 readFrom = qMax<qint64>(0, from - 1);
    if (!in.seek(readFrom))
        return 0;
    QByteArray earlier = in.read(offset - readFrom);
    if (earlier.size() != offset - readFrom)
        return 0;
    if (from > 0) {
        // Begins with a line, as the window does when it is first read.
        const qsizetype lineEnd = earlier.indexOf('\n');
        const qsizetype cut = lineEnd >= 0 && lineEnd < earlier.size() - 1 ? lineEnd + 1 : 1;
        earlier.remove(0, cut);
        from = readFrom + cut;
    }
    if (earlier.isEmpty())
        return 0;
    bytes.prepend(earlier);
    offset = from;
    starts.clear();
    IndexFrom(0);
    const qsizetype came =
        std::lower_bound(starts.cbegin(), starts.cend(), earlier.size()) - starts.cbegin();
    Bound(true);
    return came;
}

LogText::Read LogText::ReadLatest()
{
    const QString file = path;
    path.clear();
    return ReadMore(file);
}

bool LogText::Bound(bool fromEnd)
{
    if (starts.isEmpty())
        return false;
    if (!fromEnd) {
        // The first line that leaves at most the window's bytes and lines after it.
        qsizetype first = std::lower_bound(starts.cbegin(), starts.cend(), bytes.size() - window) -
                          starts.cbegin();
        first = qMin(qMax(first, starts.size() - maxLines), starts.size() - 1);
        if (first <= 0)
            return false;
        const qsizetype cut = starts.at(first);
        bytes.remove(0, cut);
        offset += cut;
        starts.remove(0, first);
        for (qsizetype &start : starts)
            start -= cut;
        return true;
    }
    // The lines from the window's start that fit in it (one at least).
    qsizetype kept = std::upper_bound(starts.cbegin(), starts.cend(), window) - starts.cbegin();
    kept = qMax<qsizetype>(1, qMin(kept - 1 + (bytes.size() <= window ? 1 : 0), maxLines));
    if (kept >= starts.size())
        return false;
    bytes.truncate(starts.at(kept));
    starts.resize(kept);
    atEnd = false;
    return true;
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
    if (!lines && !log.Whole()) {
        // Only part of a large log is read: the whole of it is copied from the file.
        QFile in;
        struct stat st = {};
        if (!OpenPlainLog(log.Path(), in, &st))
            return QCoreApplication::translate("LogViewer", "the log can no longer be read");
        for (QByteArray chunk = in.read(1 << 20); written && !chunk.isEmpty();
             chunk = in.read(1 << 20))
            written = out.write(chunk) == chunk.size();
    } else if (!lines) {
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
    QFile file;
    struct stat st = {};
    if (!OpenPlainLog(path, file, &st))
        return QString();
    // The first lines come from the start, the last from the end, and the lines between are
    // only counted: a log may be long, and its reason is often in its first lines.
    constexpr qint64 Piece = 64 * 1024;
    const qint64 size = file.size();
    const QByteArray start = file.read(Piece);
    if (start.isEmpty())
        return QString();
    const QString cut = QStringLiteral("…");
    QList<QByteArray> first = start.split('\n');
    if (size <= Piece) {
        // A final line end closes the last line; it starts none.
        if (first.last().isEmpty())
            first.removeLast();
        if (first.size() <= head + tail)
            return QString::fromUtf8(first.join('\n'));
        QList<QByteArray> shown = first.first(head);
        shown.append(QCoreApplication::translate("Emulators", "[lines left out: %n]", nullptr,
                                                 int(first.size() - head - tail))
                         .toUtf8());
        shown += first.mid(first.size() - tail);
        return QString::fromUtf8(shown.join('\n'));
    }
    // Larger than both ends: the first piece ends inside a line, the last begins inside one,
    // and a few long lines may be all there is. Each end shows what it holds of its lines.
    qint64 lineEnds = start.count('\n');
    for (qint64 at = Piece; at < size - Piece;) {
        const QByteArray chunk = file.read(qMin<qint64>(1 << 20, size - Piece - at));
        if (chunk.isEmpty())
            break;
        lineEnds += chunk.count('\n');
        at += chunk.size();
    }
    const qint64 endAt = qMax<qint64>(Piece, size - Piece);
    file.seek(endAt);
    const QByteArray end = file.readAll();
    lineEnds += end.count('\n');
    QList<QByteArray> last = end.split('\n');
    const bool closed = last.last().isEmpty();
    if (closed)
        last.removeLast();
    const qint64 lines = closed ? lineEnds : lineEnds + 1;
    // The first piece's last line goes on past it; the last piece's first line began before it
    // (unless the piece begins right after a line end).
    QStringList shown;
    const qsizetype fromStart = qMin<qsizetype>(head, first.size());
    for (qsizetype i = 0; i < fromStart; ++i)
        shown.append(QString::fromUtf8(first.at(i)) + (i == first.size() - 1 ? cut : QString()));
    file.seek(endAt - 1);
    const bool endBeginsALine = endAt == Piece ? start.endsWith('\n') : file.read(1) == "\n";
    const qint64 fromEnd = qMin<qint64>(tail, qMin<qint64>(lines - fromStart, last.size()));
    const qint64 between = lines - fromStart - fromEnd;
    if (between > 0)
        shown.append(QCoreApplication::translate("Emulators", "[lines left out: %n]", nullptr,
                                                 int(between)));
    for (qsizetype i = last.size() - fromEnd; i < last.size(); ++i)
        shown.append((i == 0 && !endBeginsALine ? cut : QString()) + QString::fromUtf8(last.at(i)));
    return shown.join(QLatin1Char('\n'));
}
