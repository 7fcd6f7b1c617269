#pragma once

#include <QObject>

class EmulatorControl;
class ExtrasCompanion;
class ProfileDocument;
class ProfileQListWidget;
class QMenu;
class QWidget;

// What the list's menu offers for what profiles carry beside Launcher.ini: their tags, note,
// environment and hooks (each set as one undoable step), and launching or stopping every profile of
// a tag. It also teaches the list to find profiles by tag and note, and to show them in a row's
// tooltip.
class ExtrasActions : public QObject
{
    Q_OBJECT

public:
    ExtrasActions(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                  EmulatorControl *control, ExtrasCompanion *extras);

    // Adds "Organize ▸", "Launch Tag ▸" and "Stop Tag ▸" to the list's menu.
    void AddTo(QMenu *menu);

    // The dialogs, for the selected profiles (tags) or the current one.
    void EditTags();
    void EditNotes();
    void EditEnvironment();
    void EditHooks();

    // What a row's tooltip says of a profile's tags, note and environment.
    QString Describe(const QString &profile) const;

private:
    QStringList SelectedNames() const;

    QWidget *window;
    ProfileDocument *document;
    ProfileQListWidget *list;
    EmulatorControl *control;
    ExtrasCompanion *extras;
    QMenu *organize = nullptr;
    QMenu *launchTag = nullptr;
    QMenu *stopTag = nullptr;
};
