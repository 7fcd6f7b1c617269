#pragma once

#include "launcherconfig.h"

#include <QObject>
#include <QStringList>

#include <optional>

class ProfileDocument;
class ProfileQListWidget;
class RunningEmulatorsView;
class QComboBox;
class QLineEdit;
class QWidget;

// An option box shows one entry on one line: a few hundred characters are more than any screen
// shows, and laying out a longer text holds up every paint of the box.
constexpr qsizetype MaxShownEntryLength = 300;

// Keeps the profile list and the option boxes as the document says, row by row, keeping the
// selected profile (by name) and what the window shows but has not stored.
class DocumentView : public QObject
{
    Q_OBJECT

public:
    // `boxes` holds the option boxes at their sections' positions. A failed save and an edit
    // made outside that cannot be used are told in `window`.
    DocumentView(ProfileDocument *document, ProfileQListWidget *list, QComboBox *const *boxes,
                 QLineEdit *arguments, RunningEmulatorsView *running, QWidget *window);

signals:
    // The selected profile's stored settings changed: the window shows them.
    void currentProfileChanged(int row);
    // What the window shows may differ from what is stored now.
    void shownChanged();

private:
    void OnProfileInserted(int row);
    void OnProfileRemoved(int row);
    void OnProfileMoved(int from, int to);
    void OnProfileRenamed(int row);
    void OnOptionInserted(int section, int index);
    void OnOptionRemoved(int section, int index);
    void KeepShownState();
    void ShowResetModel();
    QList<int> ShownPositions() const;

    ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    QComboBox *boxes[SectionCount] = {};
    QLineEdit *arguments = nullptr;
    RunningEmulatorsView *running = nullptr;
    // What the window showed as the whole model changed.
    struct ShownState
    {
        QString name;
        bool edited = false;
        QList<std::optional<ConfigEntry>> chosen;
        QString typed;
    } shownState;
};
