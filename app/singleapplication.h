#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

class QFileSystemWatcher;
class LocalListener;
class LocalPeer;
class QLockFile;

// A QApplication that knows whether another instance of the same launcher already runs for
// this user. The first instance holds a lock file and listens on a local socket in the user's
// runtime directory; a later one sends it a message and leaves.
class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    // The identity is derived from the user and the path of the user's Launcher.ini.
    SingleApplication(int &argc, char **argv);
    // An explicit identity, for instances that are not the launcher itself.
    SingleApplication(const QString &id, int &argc, char **argv);
    ~SingleApplication() override;

    // The identity of every launcher of this user that works on `userConfigPath`.
    static QString idForUserConfig(const QString &userConfigPath);
    // Where the lock and the socket live: a directory only this user can enter, or an empty
    // string when there is none.
    static QString instanceDirectory();
    // The path with its deepest existing folder resolved (links, "..").
    static QString canonicalPath(const QString &path);

    // True when another instance with this identity was already running at start-up.
    bool isRunning() const;
    // Sends `message` to the running instance; true when it acknowledged within `timeout` ms.
    bool sendMessage(const QString &message, int timeout = 5000);
    // The window that is brought to the front when a message arrives.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    // Brings that window to the front with the desktop's token (or startup id), as a message
    // does: for the desktop's other ways in.
    void Activate(const QByteArray &activationToken) { activate(activationToken); }
    // Why this instance runs without a lock, so that another one may run beside it; empty
    // when it holds the lock.
    // (Translated when asked for: the translations are installed after this object exists.)
    QString lockProblem() const;

signals:
    void messageReceived(const QString &message);
    // The window was not given the focus (no token came on Wayland, or the window manager
    // keeps the focus where it is) and asks for the user's attention instead.
    void attentionRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Probe
    {
        Nobody,        // nobody answers at the socket name
        OursListening, // a launcher of this user answers
        Foreign,       // a program of another user answers
    };
    // The first private folder of ours in the cache or data location other than `except`.
    static QString privateInstanceDirectory(const QString &except);
    void start();
    Probe probeRunningInstance() const;
    // Takes the lock and listens; false when the folder holds another user's lock.
    bool takeLock();
    // Watches the folder and listens on the socket: from the window's first paint on.
    void serve();
    void watchInstanceFiles();
    void restoreInstanceFiles();
    void listen();
    void acceptConnection(int fd);
    void drop(LocalPeer *peer);
    void readFrame(LocalPeer *peer);
    void activate(const QByteArray &activationToken);

    QString instanceId;
    QString instanceDir;
    QString socketPath;
    QString lockPath;
    QFileSystemWatcher *watcher = nullptr;
    QLockFile *lockFile = nullptr;
    LocalListener *server = nullptr;
    QList<LocalPeer *> peers;
    bool primary = false;
    const char *problemText = nullptr;
    QString problemArgument;
    QPointer<QWidget> window;
    bool activateOnMessage = false;
    bool serving = false;
};
