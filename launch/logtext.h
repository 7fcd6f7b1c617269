#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// An emulator's log as the launcher's viewer shows it: a window of the file's bytes and where
// each line in it starts, read again from where it stopped as the emulator writes. Lines are
// decoded only when asked for. A log larger than the window is read from its end, and earlier
// parts are read when asked for: what is kept is bounded (the window's bytes, at most half as
// much again while it follows, and one index entry per line, at most `MaxLines` of them),
// however large the log grows.
class LogText
{
public:
    // 32 MiB of a log and a million lines: about 48 MiB with the index, whatever the log's size.
    static constexpr qint64 DefaultWindow = qint64(32) << 20;
    static constexpr qsizetype DefaultMaxLines = 1000000;
    explicit LogText(qint64 window = DefaultWindow, qsizetype maxLines = DefaultMaxLines)
        : window(window), maxLines(maxLines)
    {
    }

    enum class Read
    {
        Unchanged,
        Grown,     // lines were added (and the last, unended line may have grown)
        Restarted, // the file became shorter or was replaced, or the window moved: read anew
        Failed,    // it cannot be read (it is kept as it was)
    };
    // Reads what is new in `path` since the last call (the end of it the first time). While an
    // earlier part is shown, what the file gained is only counted.
    Read ReadMore(const QString &path);
    // Reads the part of the log before the window (half a window of it); how many lines came.
    // Lines at the window's end may go to keep it bounded: then it no longer follows the file.
    qsizetype ReadEarlier();
    // Reads the log's end again, as when it was opened.
    Read ReadLatest();

    // Lines, the last one counted even before its line end is written.
    qsizetype LineCount() const { return starts.size(); }
    QString Line(qsizetype index) const;
    // Whether the last line has no line end yet (it may still grow).
    bool LastLineOpen() const { return atEnd && !bytes.isEmpty() && !bytes.endsWith('\n'); }
    QString Path() const { return path; }
    // Where the window is in the file: the bytes before it and after it (known at the last
    // read), and the file's size then.
    qint64 Before() const { return offset; }
    qint64 After() const { return qMax<qint64>(0, fileSize - offset - bytes.size()); }
    qint64 FileSize() const { return fileSize; }
    bool Whole() const { return offset == 0 && atEnd; }
    // The window's bytes, as the file has them.
    const QByteArray &Bytes() const { return bytes; }

private:
    Read ReadTail(QFile &in, qint64 size);
    // Drops lines from the front (or, when `fromEnd`, the end) until the window is in bounds.
    bool Bound(bool fromEnd);
    void IndexFrom(qsizetype from);

    qint64 window;
    qsizetype maxLines;
    QString path;
    QByteArray fileIdentity; // the device and inode of the file read
    QByteArray bytes;
    QList<qsizetype> starts;
    qint64 offset = 0;   // where `bytes` starts in the file
    qint64 fileSize = 0; // the file's size at the last read
    bool atEnd = true;   // whether `bytes` reaches the file's end (and follows it)
};

// What the viewer's filter field asks for: plain text, ignoring case, or, when it starts with
// "/", a regular expression (Perl's, as Qt's own; ignoring case too). A regular expression is
// given a budget on each line: one that would backtrack for seconds on a line (say
// "(a+)+$" on a long line of a's) stops there, and the line counts as too costly to search.
struct LogFilter
{
    QString text;
    bool regular = false;

    static LogFilter Parse(const QString &typed);
    bool IsEmpty() const { return text.isEmpty(); }
    // Empty when it can be used; else why not.
    QString Problem() const { return problem; }

    enum class Result
    {
        No,
        Yes,
        TooCostly, // the expression used up its budget on the line
    };
    // Safe on any thread.
    Result Test(QStringView line) const;
    bool Matches(const QString &line) const { return Test(line) == Result::Yes; }

    // Steps the expression may take on one line: a tenth of a millisecond or so of
    // backtracking, far more than any sensible expression needs on a log line.
    static constexpr quint32 StepsPerLine = 100000;

private:
    struct Compiled;
    std::shared_ptr<const Compiled> compiled;
    QString problem;
};

struct LogMatches
{
    QList<qsizetype> lines;
    qsizetype tooCostly = 0;
};

// The lines of `log` in [from, to) that `filter` lets through (to the end when `to` is
// negative); `stop`, asked between lines, ends the search early.
LogMatches MatchingLines(const LogText &log, const LogFilter &filter, qsizetype from = 0,
                         qsizetype to = -1, const std::function<bool()> &stop = {});

// Writes the lines `lines` of `log` (all of it when `lines` is null) to `path` in one step;
// empty when it worked, else why not.
QString SaveLogLines(const LogText &log, const QList<qsizetype> *lines, const QString &path);

// A log's lines: all of them when there are at most `head` + `tail`, else the first `head`, a
// line saying how many are left out, and the last `tail`.
QString LogExcerpt(const QString &path, int head = 5, int tail = 15);
