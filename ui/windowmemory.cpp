#include "windowmemory.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

namespace {

QSettings *Settings()
{
    // Made when first asked for, on the window's thread only.
    static QSettings settings(QStringLiteral("Velmora"),
                              QStringLiteral("VelmoraMobileEmuLauncher"));
    return &settings;
}

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
                Settings()->setValue(key, window->saveGeometry());
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

void RememberGeometry(QWidget *window, const QString &key)
{
    const QString settingsKey = key + QStringLiteral("/geometry");
    const QByteArray geometry = Settings()->value(settingsKey).toByteArray();
    // restoreGeometry moves a window that would lie off every screen back onto one.
    if (!geometry.isEmpty())
        window->restoreGeometry(geometry);
    window->installEventFilter(new GeometryKeeper(window, settingsKey));
}

void StartInLastFolder(QFileDialog *dialog)
{
    const QString folder = Settings()->value(FolderKey()).toString();
    // A folder that went meanwhile leaves the dialog where it would start anyway.
    if (!folder.isEmpty())
        dialog->setDirectory(folder);
}

void NoteLastFolder(const QString &chosenFile)
{
    Settings()->setValue(FolderKey(), QFileInfo(chosenFile).absolutePath());
}
