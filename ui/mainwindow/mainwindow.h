#pragma once

#include "commandline.h"
#include "configfile.h"
#include "launcherconfig.h"
#include "profiledocument.h"

#include <QMainWindow>

class EmulatorControl;
class EmulatorLauncher;
class ProfileCompanions;
class LauncherTray;
class WindowArrangement;
class ProfileListActions;
class ProfileQListWidget;
class RunningEmulatorsView;
class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The launcher's window: it shows the profiles of its document and the option lists, and asks
// the document for every change; what the document reports changed, it shows.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Loads the configuration first; when neither the user's nor the default file can be read
    // it tells the user and ends the process with exit code 1.
    explicit MainWindow(QWidget *parent = nullptr);
    // Writes the configuration back to the user's Launcher.ini.
    ~MainWindow() override;

    // With `later`, the profiles of a long file are read on a thread of their own (see
    // LoadConfigFile): the window is built from their names meanwhile.
    bool ReadConfig(const QString &path, bool isUserFile, PendingProfiles *later = nullptr);
    // Writes the model and waits until it and every save before it is on disk. False when
    // there is nothing to write, the user's file is not to be written over, or it could not be
    // written. Says nothing to the user: it runs as the window closes.
    bool WriteConfig() { return document->WriteAll(); }
    // Returns once every change made so far has been written (or has failed to be), its
    // result taken in.
    void WaitForSaves() { document->WaitForSaves(); }

    void UpdateAddUpdateButton();
    QString CurrentValueText() const;
    // What "&Launch" would start now: the program and each argument as the emulator gets it.
    SplitCommand CurrentCommand() const;

    const LauncherConfig &Config() const { return document->Config(); }
    ProfileDocument *Document() const { return document; }
    ProfileListActions *ListActions() const { return listActions; }
    RunningEmulatorsView *Running() const { return running; }
    EmulatorLauncher *Launcher() const { return launcher; }
    EmulatorControl *Control() const { return control; }
    ProfileCompanions *Companions() const { return companions; }
    QString UserConfigPath() const { return document->Store().UserPath(); }
    // Whether saves wait for a changed Launcher.ini that cannot be read at the moment.
    bool SavesHeld() const { return document->SavesHeld(); }

    // What the arguments line stands for: its text, or the whole stored text that it shows cut.
    QString CurrentArguments() const;
    // False, after telling the user, when the arguments hold a word that Launcher.ini would
    // read back as an option.
    bool ArgumentsCanBeStored(const QString &title);
    // Stores the window's options and arguments under a name the user gives: a new profile at
    // the end of the list, or an existing one the user agrees to replace. Arguments that cannot
    // be stored are refused first.
    void StoreWindowAsNewProfile(const QString &title, const QString &label,
                                 const QString &suggestion);

    // Shows the profiles that meet `text`, as if typed into the filter: the desktop's search
    // handed over.
    void ShowFiltered(const QString &text);
    // Imports each profile file with Import Profiles' questions: files opened with the
    // launcher, dropped onto its window, or handed over by the desktop.
    void ImportFiles(const QStringList &paths);

public slots:
    void OnProfileChanged(int index);
    void OnAddUpdateProfile();
    void OnRemoveProfile();
    void OnResolution(int index);
    void OnAddResolution();
    void OnRemoveResolution();
    void OnPixelDensity(int index);
    void OnAddPixelDensity();
    void OnRemovePixelDensity();
    void OnInput();
    void OnTextCtrlEdit();
    void OnHelp();
    void OnLaunch();

    LauncherTray *Tray() const { return tray; }
    WindowArrangement *Arrangement() const { return arrangement; }

protected:
    // With "Keep Running in the Tray", closing hides the window.
    void closeEvent(QCloseEvent *event) override;
    // Profile files dropped onto the window are imported.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void LaunchShown();
    void RemoveSelectedOption(int section);
    QList<int> CurrentOptionIndexes() const;
    ProfileSettings CurrentSettings() const;
    void AddOption(int section, const ConfigEntry &entry);
    QString CurrentProfileName() const;

    // The steps of construction, in creation order: the group box with the profile list, the
    // option rows and the arguments line; then the "&Help" and "&Launch" buttons.
    QGroupBox *BuildProfileGroup();
    struct OptionRow;
    QGridLayout *BuildOptionRow(const OptionRow &row);
    QDialogButtonBox *BuildButtonBox();
    static const OptionRow optionRows[];
    // The noun of an option row's removal question, untranslated.
    static const char *RowNoun(int section);

    ProfileDocument *document = nullptr;
    ProfileQListWidget *profileList = nullptr;
    QPushButton *addUpdateButton = nullptr;
    QPushButton *removeProfileButton = nullptr;
    QLineEdit *argumentsEdit = nullptr;
    QLineEdit *filterEdit = nullptr;
    QPushButton *removeResolutionButton = nullptr;
    QPushButton *removePixelDensityButton = nullptr;
    QPushButton *launchButton = nullptr;
    // The option boxes, at their sections' positions (none at [Profile]'s).
    QComboBox *optionBoxes[SectionCount] = {};
    ProfileListActions *listActions = nullptr;
    LauncherTray *tray = nullptr;
    WindowArrangement *arrangement = nullptr;
    RunningEmulatorsView *running = nullptr;
    EmulatorLauncher *launcher = nullptr;
    ProfileCompanions *companions = nullptr;
    EmulatorControl *control = nullptr;
    // The profiles of a long Launcher.ini while they are read during start-up.
    PendingProfiles startupProfiles;
    // The selected profile's arguments while the line shows them cut (and is read-only).
    QString shownArgumentsWhole;
};
