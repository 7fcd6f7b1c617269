#pragma once

#include <QObject>

class QSocketNotifier;

// While it lives, SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, a service manager, Ctrl+C,
// a closed terminal) end the application's event loops with exit code 0, as closing the window
// does, so that everything that follows exec() still runs. The handler only writes a byte to a
// pipe; the rest happens in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Whether the handlers are installed.
    bool isActive() const { return notifier != nullptr; }

private:
    void OnSignal();

    QSocketNotifier *notifier = nullptr;
};
