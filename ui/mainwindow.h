#pragma once

#include "commandline.h"
#include "configfile.h"
#include "launcherconfig.h"

#include <QMainWindow>

class ProfileQListWidget;
class QAction;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Loads the configuration first; when neither the user's nor the default file can be read
    // it tells the user and ends the process with exit code 1.
    explicit MainWindow(QWidget *parent = nullptr);
    // Writes the configuration back to the user's Launcher.ini.
    ~MainWindow() override;

    bool ReadConfig(const QString &path, bool isUserFile);
    // Moves the out-of-date user file aside without overwriting anything and returns the path
    // it was moved to (or, when `renamed` comes back false, the path it could not be moved to).
    QString RenameOutdatedConfig(int version, bool *renamed = nullptr);
    // False when there is nothing to write, the user's file is not to be written over, or it
    // could not be written.
    bool WriteConfig();

    void UpdateAddUpdateButton();
    QString CurrentValueText() const;
    // What "&Launch" would start now: the program and each argument as the emulator gets it.
    SplitCommand CurrentCommand() const;

    // "[PixelDensity]" gives "Pixel Density", or "pixel density" with `lowerCase`. The text is
    // the header's own; the window translates it for display.
    static QString SectionLabel(const QString &header, bool lowerCase);

    const LauncherConfig &Config() const { return config; }

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

    // The profile list's own actions, beyond the buttons.
    void OnDuplicateProfile();
    void OnRenameProfile();
    void OnCopyCommandLine();

private:
    // The list's context menu, at `pos` in its viewport (a keyboard request: the current row).
    void ShowProfileMenu(QPoint pos);
    // The focus widget's context menu, as the Menu key opens it.
    void OpenFocusContextMenu();
    // What the arguments line stands for: its text, or the whole stored text that it shows cut.
    QString CurrentArguments() const;
    // False, after telling the user, when the arguments hold a word that Launcher.ini would
    // read back as an option.
    bool ArgumentsCanBeStored(const QString &title);
    void CreateProfileActions();
    void RemoveSelectedOption(int section);
    ConfigSaveResult Save();
    // Saves after a change of the model; tells the user once when changes cannot be saved.
    void SaveChanges();
    QList<int> CurrentOptionIndexes() const;
    void AddOption(int section, const QString &name, const QString &value);
    // Asks for a profile name, starting from `text`, until it is one the file can hold; an
    // empty string when the user cancels.
    QString AskProfileName(const QString &title, const QString &label, QString text);
    // Stores the window's options and arguments under a name the user gives: a new profile at
    // the end of the list, or an existing one the user agrees to replace.
    void StoreWindowAsNewProfile(const QString &title, const QString &label,
                                 const QString &suggestion);

    // The steps of construction, in creation order: the group box with the profile list, the
    // option rows and the arguments line; then the "&Help" and "&Launch" buttons.
    QGroupBox *BuildProfileGroup();
    struct OptionRow;
    QGridLayout *BuildOptionRow(const OptionRow &row);
    QDialogButtonBox *BuildButtonBox();
    static const OptionRow optionRows[];

    LauncherConfig config;
    ProfileQListWidget *profileList = nullptr;
    QPushButton *addUpdateButton = nullptr;
    QPushButton *removeProfileButton = nullptr;
    QLineEdit *argumentsEdit = nullptr;
    QPushButton *removeResolutionButton = nullptr;
    QPushButton *removePixelDensityButton = nullptr;
    QPushButton *launchButton = nullptr;
    QAction *launchAction = nullptr;
    QAction *duplicateAction = nullptr;
    QAction *renameAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *copyCommandAction = nullptr;
    // The user's file exists but could not be read: nothing is written over it in this run.
    bool keepUserFile = false;
    bool saveFailureShown = false;
    // The selected profile's arguments while the line shows them cut (and is read-only).
    QString shownArgumentsWhole;
};
