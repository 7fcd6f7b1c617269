#include "configmessages.h"

#include "dialogs.h"
#include "filelocations.h"
#include "launcherconfig.h"
#include "profiledocument.h"

#include <QCoreApplication>

QString WarningTitle()
{
    return QCoreApplication::translate("ConfigMessages",
                                       "Velmora Mobile Emulator Launcher Warning");
}

void ShowNoConfigurationError()
{
    QMessageBox box;
    box.setWindowTitle(QCoreApplication::translate("ConfigMessages", "Velmora Mobile Emulator"));
    box.setIcon(QMessageBox::Critical);
    box.setText(QCoreApplication::translate("ConfigMessages",
                                            "Unable to start Velmora Mobile Emulator Launcher"));
    box.setInformativeText(
        QCoreApplication::translate("ConfigMessages", "Unable to read configuration file."));
    FitTitle(&box);
    box.exec();
}

void TellUnreadableConfig(QWidget *parent, const QString &path, const QString &reason)
{
    ShowMessage(parent, QMessageBox::Warning, WarningTitle(),
                QCoreApplication::translate(
                    "ConfigMessages",
                    "Your Launcher.ini configuration file %1 cannot be read: %2.\n\n"
                    "The launcher starts with its default configuration and leaves your file as "
                    "it is: nothing is saved to it while the launcher runs.")
                    .arg(ShownPath(path), reason));
}

void TellOutdatedConfig(QWidget *parent, bool moved, const QString &newPath)
{
    const QString message =
        moved ? QCoreApplication::translate(
                    "ConfigMessages",
                    "Your Launcher.ini configuration file is out of date and will not be used. "
                    "It has been renamed to %1 to make place for a new configuration file.")
              : QCoreApplication::translate(
                    "ConfigMessages",
                    "Your Launcher.ini configuration file is out of date and will not be used. "
                    "It could not be renamed to %1 and will be replaced by the launcher's "
                    "configuration at your first change, or when the launcher closes.");
    ShowMessage(parent, QMessageBox::Warning, WarningTitle(), message.arg(newPath));
}

void TellOutdatedDefaultConfig(QWidget *parent)
{
    ShowMessage(parent, QMessageBox::Warning, WarningTitle(),
                QCoreApplication::translate("ConfigMessages", "Config file is out of date"));
}

void TellChangesNotSaved(QWidget *parent, const QString &path, const QString &reason)
{
    ShowMessage(parent, QMessageBox::Warning, WarningTitle(),
                QCoreApplication::translate(
                    "ConfigMessages",
                    "Your changes are not being saved: %1 cannot be written: %2.\n\n"
                    "The launcher tries again with every change and when it closes.")
                    .arg(ShownPath(path), reason));
}

void TellOutsideChangeUnusable(QWidget *parent, const QString &path, const QString &reason)
{
    ShowMessage(parent, QMessageBox::Warning, WarningTitle(),
                QCoreApplication::translate(
                    "ConfigMessages",
                    "Your Launcher.ini configuration file %1 was changed by another program and "
                    "can no longer be read: %2.\n\nThe launcher leaves it as it is: your changes "
                    "are saved to it once it can be read again.")
                    .arg(ShownPath(path), reason));
}

void TellProfileGone(QWidget *parent, const QString &title, const QString &name,
                     const QString &nothingDone)
{
    ShowMessage(parent, QMessageBox::Information, title,
                QCoreApplication::translate(
                    "ConfigMessages", "The profile \"%1\" no longer exists: the configuration "
                                      "file was changed outside the launcher meanwhile. %2")
                    .arg(ShownName(name),
                         nothingDone.isEmpty()
                             ? QCoreApplication::translate("ConfigMessages", "Nothing was changed.")
                             : nothingDone));
}

void TellProfileChanged(QWidget *parent, const QString &title, const QString &name,
                        const QString &nothingDone)
{
    ShowMessage(parent, QMessageBox::Information, title,
                QCoreApplication::translate(
                    "ConfigMessages", "The profile \"%1\" was changed outside the launcher since "
                                      "you were asked. %2")
                    .arg(ShownName(name),
                         nothingDone.isEmpty()
                             ? QCoreApplication::translate("ConfigMessages", "Nothing was changed.")
                             : nothingDone));
}

bool ReadConfigTelling(QWidget *parent, ProfileDocument &document, const QString &path,
                       bool isUserFile, PendingProfiles *later)
{
    const ConfigStore::ReadResult read = document.Read(path, isUserFile, later);
    switch (read.status) {
    case ConfigStore::ReadResult::Missing:
    case ConfigStore::ReadResult::Changing: // only a file read again says so
        return false;
    case ConfigStore::ReadResult::Unreadable:
        if (isUserFile)
            TellUnreadableConfig(parent, path, read.reason);
        return false;
    case ConfigStore::ReadResult::Loaded:
        return true;
    case ConfigStore::ReadResult::OutOfDate:
        break;
    }
    if (isUserFile) {
        const ConfigMoveResult move = document.Store().MoveOutdated(read.version);
        TellOutdatedConfig(parent, move.moved, move.path);
        return false;
    }
    TellOutdatedDefaultConfig(parent);
    return true;
}
