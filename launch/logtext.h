#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// An emulator's log as the launcher's viewer shows it: the file's bytes and where each line
// starts, read again from where it stopped as the emulator writes. Lines are decoded only when
// asked for, so that a log of many megabytes opens at once.
class LogText
{
public:
    enum class Read
    {
        Unchanged,
        Grown,     // lines were added (and the last, unended line may have grown)
        Restarted, // the file became shorter or was replaced: read from its start again
        Failed,    // it cannot be read (it is kept as it was)
    };
    // Reads what is new in `path` since the last call (all of it the first time).
    Read ReadMore(const QString &path);
    // Lines, the last one counted even before its line end is written.
    qsizetype LineCount() const { return starts.size(); }
    QString Line(qsizetype index) const;
    // Whether the last line has no line end yet (it may still grow).
    bool LastLineOpen() const { return !bytes.isEmpty() && !bytes.endsWith('\n'); }
    const QByteArray &Bytes() const { return bytes; }
    QString Path() const { return path; }

private:
    void IndexFrom(qsizetype from);

    QString path;
    QByteArray fileIdentity; // the device and inode of the file read
    QByteArray bytes;
    QList<qsizetype> starts;
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
