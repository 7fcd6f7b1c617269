#include "windowmemory.h"

#include "diagnostics.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace {

// Notes the window's geometry as it is closed or hidden.
class GeometryKeeper : public QObject
{
public:
    GeometryKeeper(QWidget *window, const QString &settingsKey) : QObject(window), key(settingsKey)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) {
            auto *window = static_cast<QWidget *>(watched);
            if (window->isWindow())
                WindowSettings().setValue(key, window->saveGeometry());
        }
        return false;
    }

private:
    QString key;
};

QString FolderKey()
{
    return QStringLiteral("files/lastFolder");
}

} // namespace

QSettings &WindowSettings()
{
    // Owned by the application object, so written when it goes, while the folders it was made
    // for are still there; a static one would write after main() has returned.
    static QPointer<QSettings> settings;
    if (!settings) {
        SetAsideIfTooLarge(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                               QStringLiteral("/Velmora/VelmoraMobileEmuLauncher.conf"),
                           MaxWindowSettingsBytes);
        settings =
            new QSettings(QStringLiteral("Velmora"), QStringLiteral("VelmoraMobileEmuLauncher"),
                          QCoreApplication::instance());
    }
    return *settings;
}

void RememberGeometry(QWidget *window, const QString &key)
{
    const QString settingsKey = key + QStringLiteral("/geometry");
    const QByteArray geometry = WindowSettings().value(settingsKey).toByteArray();
    // restoreGeometry moves a window that would lie off every screen back onto one, but keeps
    // any size: a remembered size larger than the screen is made to fit it.
    if (!geometry.isEmpty() && window->restoreGeometry(geometry))
        FitOnScreen(window);
    window->installEventFilter(new GeometryKeeper(window, settingsKey));
}

void FitOnScreen(QWidget *window)
{
    QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QSize size = window->size().boundedTo(room.size());
    if (size != window->size())
        window->resize(size);
    const QRect now = window->geometry();
    if (!room.contains(now))
        window->move(qBound(room.left(), now.left(), room.right() - now.width() + 1),
                     qBound(room.top(), now.top(), room.bottom() - now.height() + 1));
}

bool SetAsideIfTooLarge(const QString &path, qint64 limit)
{
    if (QFileInfo(path).size() <= limit)
        return false;
    // Nothing the launcher writes comes near it: read (and written back at every close) such a
    // file costs seconds. It is kept aside for whoever made it.
    const QString aside = path + QStringLiteral(".too-large");
    QFile::remove(aside);
    if (!QFile::rename(path, aside))
        QFile::remove(path);
    qCWarning(lcLauncher).noquote()
        << QStringLiteral("%1 is larger than %2 KiB; it is set aside as %3")
               .arg(path)
               .arg(limit / 1024)
               .arg(aside);
    return true;
}

void StartInLastFolder(QFileDialog *dialog)
{
    const QString folder = WindowSettings().value(FolderKey()).toString();
    // The first time (or once the folder went), the home folder: the launcher's working folder
    // is wherever the desktop started it.
    dialog->setDirectory(!folder.isEmpty() && QFileInfo(folder).isDir() ? folder
                                                                        : QDir::homePath());
}

void NoteLastFolder(const QString &chosenFile)
{
    WindowSettings().setValue(FolderKey(), QFileInfo(chosenFile).absolutePath());
}
