#include "terminationsignals.h"

#include "diagnostics.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int HandledCount = int(std::size(handledSignals));
int pipeFds[2] = {-1, -1};
// What each signal did before Catch, and whether Catch replaced it.
struct sigaction previousActions[HandledCount];
bool replaced[HandledCount] = {};

extern "C" void WriteSignalByte(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    // A full pipe already holds a request to quit; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

// Reads what the pipe holds; the last signal that came, or 0.
int DrainPipe()
{
    int last = 0;
    char buffer[64];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        last = buffer[n - 1];
    return last;
}

} // namespace

void TerminationSignals::Catch()
{
    if (pipeFds[0] >= 0)
        return;
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        qCWarning(lcLauncher) << "cannot watch for termination signals";
        return;
    }
    struct sigaction action = {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < HandledCount; ++i) {
        replaced[i] = false;
        if (::sigaction(handledSignals[i], nullptr, &previousActions[i]) != 0 ||
            previousActions[i].sa_handler == SIG_IGN)
            continue;
        replaced[i] = ::sigaction(handledSignals[i], &action, nullptr) == 0;
    }
    // A starter may hand them over blocked (and one already pending): they are obeyed all the
    // same, now.
    sigset_t handled;
    sigemptyset(&handled);
    for (const int signal : handledSignals)
        sigaddset(&handled, signal);
    ::sigprocmask(SIG_UNBLOCK, &handled, nullptr);
}

void TerminationSignals::ReleaseAndRedeliver()
{
    const int came = pipeFds[0] >= 0 ? DrainPipe() : 0;
    Release();
    if (came != 0)
        ::raise(came);
}

void TerminationSignals::Release()
{
    if (pipeFds[0] < 0)
        return;
    for (int i = 0; i < HandledCount; ++i) {
        if (replaced[i])
            ::sigaction(handledSignals[i], &previousActions[i], nullptr);
        replaced[i] = false;
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    Catch();
    if (pipeFds[0] < 0)
        return;
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::OnSignal);
}

TerminationSignals::~TerminationSignals()
{
    delete notifier;
    Release();
}

bool TerminationSignals::requested()
{
    if (pipeFds[0] >= 0 && DrainPipe() != 0)
        wasRequested = true;
    return wasRequested;
}

void TerminationSignals::OnSignal()
{
    DrainPipe();
    wasRequested = true;
    // Every event loop ends, a modal dialog's included, and none starts again: the dialog is
    // declined, the slot that opened it returns, and exec() returns 0.
    QCoreApplication::exit(0);
}
