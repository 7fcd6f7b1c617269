#include "emulators_p.h"
#include "emulatorstart.h"

#include "filelocations.h"

#include "emulatorlaunch.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#if defined(Q_OS_LINUX)
#include <sys/epoll.h>
#endif
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

RecordsLock::RecordsLock()
{
    QDir().mkpath(StateDirectory());
    // Only when it is not so already: a change of mode wakes every launcher watching the
    // folder, which would lock and look again.
    const QByteArray folder = QFile::encodeName(StateDirectory());
    struct stat st;
    if (::stat(folder.constData(), &st) == 0 && (st.st_mode & 07777) != 0700)
        ::chmod(folder.constData(), 0700);
    const QByteArray path = QFile::encodeName(StateDirectory() + QStringLiteral("/launches.lock"));
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

RecordsLock::~RecordsLock()
{
    if (fd >= 0)
        ::close(fd);
}

bool IsOwnPlainFile(const QString &path, bool *exists)
{
    struct stat st;
    *exists = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    return *exists && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

void PruneLogsKeeping(const QList<LaunchRecord> &running)
{
    // Only a folder of the user's own, and only the files the launcher made there: what else
    // lies in it is the user's.
    if (!LogDirectoryProblem().isEmpty())
        return;
    QSet<QString> inUse;
    for (const LaunchRecord &record : running)
        inUse.insert(QFileInfo(record.log).fileName());
    // One listing of the folder and nothing more: a log's name starts with its start time, so
    // the names give the order, and only the logs kept are looked at for their size. Links and
    // anything but plain files are never followed or removed; removing goes through the folder
    // that was listed.
    DIR *dir = ::opendir(QFile::encodeName(LogDirectory()).constData());
    if (!dir)
        return;
    struct Entry
    {
        QByteArray name;
        bool plainFile; // as the listing says; else it has to be asked
    };
    std::vector<Entry> entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) && IsLogName(name) &&
            !inUse.contains(name))
            entries.push_back({QByteArray(entry->d_name), entry->d_type == DT_REG});
    }
    // Newest first.
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.name > b.name; });
    const int folder = ::dirfd(dir);
    const auto plainFile = [folder](const Entry &entry, qint64 *size) {
        struct stat st;
        if (::fstatat(folder, entry.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            return false;
        *size = qint64(st.st_size);
        return true;
    };
    int kept = 0;
    qint64 bytes = 0;
    size_t next = 0;
    std::vector<const Entry *> excess;
    for (; next < entries.size() && kept < KeptLogs; ++next) {
        qint64 size = 0;
        if (!plainFile(entries[next], &size))
            continue;
        if (bytes + size <= KeptLogBytes) {
            ++kept;
            bytes += size;
        } else {
            excess.push_back(&entries[next]);
        }
    }
    // The rest go, but a folder that holds thousands of old logs is emptied over several
    // launches, the oldest first: each launch stays quick.
    for (size_t i = entries.size(); i > next && excess.size() < size_t(RemovedLogsPerPrune); --i)
        excess.push_back(&entries[i - 1]);
    for (const Entry *entry : excess) {
        qint64 size = 0;
        if (entry->plainFile || plainFile(*entry, &size))
            ::unlinkat(folder, entry->name.constData(), 0);
    }
    ::closedir(dir);
}

// Starts the emulator in a session of its own (so that stopping it reaches what it started, and
// the launcher's terminal or session ending does not end it), its output going to `log` (or
// nowhere), and without the desktop's activation token. posix_spawn shares the launcher's
// memory until the exec instead of copying its page tables twice as QProcess::startDetached
// does: with a long Launcher.ini in memory that took a frame and more, and every page the window
// wrote afterwards took a fault.
bool SpawnEmulator(const SplitCommand &command, const QString &log, qint64 *pid, QString *error)
{
#if defined(Q_OS_LINUX)
    const QByteArray program = QFile::encodeName(command.program);
    QList<QByteArray> words{program};
    for (const QString &argument : command.arguments)
        words.append(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // The profile's environment beside the launcher's, in its place where a name is the same.
    QList<QByteArray> given;
    QList<QByteArray> givenNames;
    for (const QString &variable : command.environment) {
        given.append(variable.toLocal8Bit());
        givenNames.append(given.last().left(given.last().indexOf('=')));
    }
    std::vector<char *> envp;
    for (char **variable = environ; *variable; ++variable) {
        const QByteArrayView name = QByteArrayView(*variable).first(
            qMax<qsizetype>(0, QByteArrayView(*variable).indexOf('=')));
        if (std::none_of(std::begin(ActivationVariables), std::end(ActivationVariables),
                         [&name](const char *activation) { return name == activation; }) &&
            !givenNames.contains(name))
            envp.push_back(*variable);
    }
    for (QByteArray &variable : given)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray output = log.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(log);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(),
                                     O_WRONLY | O_APPEND, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    // Nothing else the launcher holds goes along: an inherited pipe would keep whoever reads
    // its other end waiting for as long as the emulator runs.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // What the launcher ignores (SIGPIPE, SIGXFSZ) or blocks is the emulator's default again.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP)
            sigaddset(&defaults, signal);
    }
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int failure =
        ::posix_spawn(&child, program.constData(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        *error = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    *pid = child;
    return true;
#else
    QProcess process;
    PrepareEmulatorProcess(process, command);
    process.setStandardOutputFile(log.isEmpty() ? QProcess::nullDevice() : log, QIODevice::Append);
    process.setStandardErrorFile(log.isEmpty() ? QProcess::nullDevice() : log, QIODevice::Append);
    process.setChildProcessModifier([] { ::setsid(); });
    if (process.startDetached(pid))
        return true;
    *error = process.errorString();
    return false;
#endif
}

QString LogDirectoryProblem()
{
    const QByteArray path = QFile::encodeName(LogDirectory());
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            return QString::fromLocal8Bit(std::strerror(errno));
        QDir().mkpath(LogDirectory());
        if (::lstat(path.constData(), &st) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    // A link may lead into someone else's folder, where pruning would delete their files.
    if (S_ISLNK(st.st_mode))
        return QCoreApplication::translate("Emulators", "it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QCoreApplication::translate("Emulators", "it is not a folder");
    if (st.st_uid != ::geteuid())
        return QCoreApplication::translate("Emulators", "it belongs to another user");
    return QString();
}

QString ProcessIdentity(qint64 pid)
{
#ifdef Q_OS_LINUX
    if (pid <= 1)
        return QString();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray line = stat.readAll();
    // The name in parentheses may hold blanks and parentheses: the fields follow the last ')'.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return QString();
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // Field 3 is the state (a zombie has ended), field 22 the start time.
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return QString();
    return QString::fromLatin1(fields.at(19));
#else
    Q_UNUSED(pid);
    return QString();
#endif
}

LaunchResult LaunchEmulatorWatched(const SplitCommand &command, const QString &profile)
{
#ifdef Q_OS_LINUX
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return LaunchEmulator(command, profile);
    const pid_t waiter = ::fork();
    if (waiter < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return LaunchEmulator(command, profile);
    }
    if (waiter == 0) {
        // The caller's terminal and pipes are not held while the emulator runs: a script
        // reading this command's output gets its end at once.
        ::setsid();
        ::signal(SIGHUP, SIG_IGN);
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
            ::dup2(null, fd);
        const LaunchResult launched = LaunchEmulator(command, profile);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << launched.started << launched.error << launched.logProblem
                << launched.recordProblem << launched.record.profile << launched.record.pid
                << launched.record.identity << launched.record.started << launched.record.log
                << launched.record.command << launched.record.environment
                << launched.record.hooks.before << launched.record.hooks.after
                << launched.record.hooks.timeout;
        }
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(report[1], bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0 && errno != EINTR)
                break;
            done += n > 0 ? n : 0;
        }
        ::close(report[1]);
        if (launched.started) {
            siginfo_t info{};
            while (::waitid(P_PID, id_t(launched.record.pid), &info, WEXITED) != 0 &&
                   errno == EINTR) {
            }
            if (info.si_pid != 0)
                RecordHowEnded(launched.record.pid, launched.record.identity,
                               info.si_code == CLD_EXITED, info.si_status);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(report[0], chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(report[0]);
    LaunchResult result;
    QDataStream in(bytes);
    in >> result.started >> result.error >> result.logProblem >> result.recordProblem >>
        result.record.profile >> result.record.pid >> result.record.identity >>
        result.record.started >> result.record.log >> result.record.command >>
        result.record.environment >> result.record.hooks.before >> result.record.hooks.after >>
        result.record.hooks.timeout;
    if (in.status() != QDataStream::Ok) {
        result = {};
        result.error = QCoreApplication::translate("Emulators", "the launcher's helper ended");
    }
    return result;
#else
    return LaunchEmulator(command, profile);
#endif
}

uint RecordsOwner()
{
    struct stat recordsFile;
    if (::stat(QFile::encodeName(RecordsPath()).constData(), &recordsFile) == 0)
        return uint(recordsFile.st_uid);
    return uint(::geteuid());
}

bool SignalEmulator(const LaunchRecord &record, bool force, uint owner, QStringList *failures)
{
    const int signal = force ? SIGKILL : SIGTERM;
    // Never a process of another user, whatever the records say (root could signal it).
    struct stat process;
    if (::stat(QByteArray("/proc/" + QByteArray::number(record.pid)).constData(), &process) == 0 &&
        process.st_uid != uid_t(owner)) {
        failures->append(QStringLiteral("%1 (%2): it belongs to another user and is not signalled")
                             .arg(record.pid)
                             .arg(record.profile));
        return false;
    }
    // Its own session and process group hold what it started; never the launcher's own.
    const pid_t group = ::getpgid(pid_t(record.pid));
    if (group > 1 && group != ::getpgrp() && ::kill(-group, signal) == 0)
        return true;
    if (::kill(pid_t(record.pid), signal) == 0 || errno == ESRCH)
        return true;
    failures->append(QStringLiteral("%1 (%2): %3")
                         .arg(record.pid)
                         .arg(record.profile, QString::fromLocal8Bit(strerror(errno))));
    return false;
}

int OpenProcessHandle(qint64 pid)
{
#if defined(Q_OS_LINUX) && defined(SYS_pidfd_open)
    return int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
#else
    Q_UNUSED(pid);
    return -1;
#endif
}

void CloseProcessHandle(int handle)
{
    if (handle >= 0)
        ::close(handle);
}

int OpenHandleSet()
{
#if defined(Q_OS_LINUX)
    return ::epoll_create1(EPOLL_CLOEXEC);
#else
    return -1;
#endif
}

bool AddToHandleSet(int set, int handle, qint64 pid)
{
#if defined(Q_OS_LINUX)
    struct epoll_event event = {};
    event.events = EPOLLIN;
    event.data.u64 = quint64(pid);
    return ::epoll_ctl(set, EPOLL_CTL_ADD, handle, &event) == 0;
#else
    Q_UNUSED(set);
    Q_UNUSED(handle);
    Q_UNUSED(pid);
    return false;
#endif
}

void RemoveFromHandleSet(int set, int handle)
{
#if defined(Q_OS_LINUX)
    ::epoll_ctl(set, EPOLL_CTL_DEL, handle, nullptr);
#else
    Q_UNUSED(set);
    Q_UNUSED(handle);
#endif
}

QList<qint64> ReadyInHandleSet(int set)
{
    QList<qint64> ready;
#if defined(Q_OS_LINUX)
    // Those left over stay readable and are read at the next turn.
    struct epoll_event events[256];
    const int count = ::epoll_wait(set, events, 256, 0);
    for (int i = 0; i < count; ++i)
        ready.append(qint64(events[i].data.u64));
#else
    Q_UNUSED(set);
#endif
    return ready;
}

std::optional<ProcessEnd> ReapEnded(qint64 pid)
{
    siginfo_t info;
    std::memset(&info, 0, sizeof info);
    if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG) != 0 || info.si_pid == 0)
        return std::nullopt;
    return ProcessEnd{info.si_code == CLD_EXITED, info.si_status};
}

QString SignalName(int signal)
{
    return QString::fromLocal8Bit(::strsignal(signal));
}
