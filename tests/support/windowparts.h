#pragma once

#include "mainwindow.h"
#include "profileqlistwidget.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

// The widgets of a MainWindow, found the way a user sees them.
struct WindowParts
{
    ProfileQListWidget *profiles = nullptr;
    QPushButton *addUpdate = nullptr;
    QPushButton *removeProfile = nullptr;
    QComboBox *resolution = nullptr;
    QPushButton *addResolution = nullptr;
    QPushButton *removeResolution = nullptr;
    QComboBox *pixelDensity = nullptr;
    QPushButton *addPixelDensity = nullptr;
    QPushButton *removePixelDensity = nullptr;
    QComboBox *input = nullptr;
    QLineEdit *arguments = nullptr;
    QPushButton *help = nullptr;
    QPushButton *launch = nullptr;

    explicit WindowParts(MainWindow &w)
        : profiles(w.findChild<ProfileQListWidget *>("profileList")),
          addUpdate(w.findChild<QPushButton *>("addUpdateButton")),
          removeProfile(w.findChild<QPushButton *>("removeProfileButton")),
          resolution(w.findChild<QComboBox *>("resolutionBox")),
          addResolution(w.findChild<QPushButton *>("addResolutionButton")),
          removeResolution(w.findChild<QPushButton *>("removeResolutionButton")),
          pixelDensity(w.findChild<QComboBox *>("pixelDensityBox")),
          addPixelDensity(w.findChild<QPushButton *>("addPixelDensityButton")),
          removePixelDensity(w.findChild<QPushButton *>("removePixelDensityButton")),
          input(w.findChild<QComboBox *>("inputBox")),
          arguments(w.findChild<QLineEdit *>("argumentsEdit")),
          help(w.findChild<QPushButton *>("helpButton")),
          launch(w.findChild<QPushButton *>("launchButton"))
    {
    }

    bool complete() const
    {
        return profiles && addUpdate && removeProfile && resolution && addResolution &&
               removeResolution && pixelDensity && addPixelDensity && removePixelDensity && input &&
               arguments && help && launch;
    }

    // Text and enabled state of the profile button, e.g. "Add/off" or "Update/on".
    QString addUpdateState() const
    {
        return QString(addUpdate->text()).remove(QLatin1Char('&')) +
               (addUpdate->isEnabled() ? QStringLiteral("/on") : QStringLiteral("/off"));
    }
};

// The default configuration beside this test's executable.
inline QString DefaultConfigPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/LauncherDefault.ini");
}

inline QByteArray ShippedDefaultConfig()
{
    return ReadBytes(QStringLiteral(VELMORA_SOURCE_DIR "/data/LauncherDefault.ini"));
}

// The label texts of the first form layout in `widget`, top to bottom.
inline QStringList FormLabels(QWidget *widget)
{
    QStringList labels;
    if (auto *form = widget->findChild<QFormLayout *>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            if (auto *item = form->itemAt(row, QFormLayout::LabelRole))
                labels.append(qobject_cast<QLabel *>(item->widget())->text());
        }
    }
    return labels;
}
