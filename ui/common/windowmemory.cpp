#include "windowmemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
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
    if (!settings)
        settings =
            new QSettings(QStringLiteral("Velmora"), QStringLiteral("VelmoraMobileEmuLauncher"),
                          QCoreApplication::instance());
    return *settings;
}

void RememberGeometry(QWidget *window, const QString &key)
{
    const QString settingsKey = key + QStringLiteral("/geometry");
    const QByteArray geometry = WindowSettings().value(settingsKey).toByteArray();
    // restoreGeometry moves a window that would lie off every screen back onto one.
    if (!geometry.isEmpty())
        window->restoreGeometry(geometry);
    window->installEventFilter(new GeometryKeeper(window, settingsKey));
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
