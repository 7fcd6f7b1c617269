#include "mainwindow.h"

#include "adddlg.h"
#include "afterfirstpaint.h"
#include "applicationsetup.h"
#include "configmessages.h"
#include "dialogs.h"
#include "documentview.h"
#include "emulatorcontrol.h"
#include "emulatorlaunch.h"
#include "emulatorlauncher.h"
#include "exchangedialogs.h"
#include "extrascompanion.h"
#include "filelocations.h"
#include "linebreakvalidator.h"
#include "optioncombobox.h"
#include "profilecompanions.h"
#include "profiledocument.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"
#include "runningemulatorsview.h"
#include "tooltipprovider.h"
#include "translations.h"
#include "trayicon.h"
#include "windowarrangement.h"
#include "windowbuttonbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>
#include <limits>
#include <optional>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(tr("Velmora Mobile Emulator"));
    document = new ProfileDocument(this);

    if (!ReadConfig(document->Store().UserPath(), true, &startupProfiles) &&
        !ReadConfig(document->Store().DefaultPath(), false, &startupProfiles)) {
        ShowNoConfigurationError();
        // Nothing was loaded, so nothing may be written over the user's file either.
        std::exit(1);
    }

    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto *mainLayout = new QVBoxLayout;
    mainLayout->addWidget(BuildProfileGroup());
    mainLayout->addWidget(BuildButtonBox());
    central->setLayout(mainLayout);
    if (startupProfiles.Pending()) {
        // The window's size is worked out (and kept for show()) while a long file's profiles
        // are still being read; from here on the window works with whole profiles.
        (void)sizeHint();
        document->TakeStartupProfiles(startupProfiles);
    }
    OnProfileChanged(0);
    OnResolution(0);
    OnPixelDensity(0);
    // The emulators started before, by this window or another launcher process, and what
    // follows each profile outside the file.
    launcher = new EmulatorLauncher(EmulatorLauncher::Mode::Window, this);
    companions =
        new ProfileCompanions(document, launcher, QCoreApplication::applicationFilePath(), this);
    running = new RunningEmulatorsView(this, document, profileList, launcher);
    control = new EmulatorControl(this, document, profileList, launcher, companions);
    // Profile files dropped onto the window are imported.
    setAcceptDrops(true);
    listActions =
        new ProfileListActions(this, document, profileList, launchButton, filterEdit,
                               {running, control, companions}, [this] { return CurrentCommand(); });
    connect(listActions, &ProfileListActions::launchRequested, this, &MainWindow::OnLaunch);
    // What the launcher does on the desktop beside its window.
    tray = new LauncherTray(this, document, launcher, control, companions);
    arrangement = new WindowArrangement(this, document, profileList, launcher);
    control->SetArrangeMenu(arrangement->ArrangeMenu());
    auto *desktop = new QMenu(tr("Windo&ws"), this);
    // An entry that is off says why (no tray, Wayland) in its tooltip.
    desktop->setToolTipsVisible(true);
    desktop->addMenu(arrangement->ArrangeMenu());
    desktop->addAction(arrangement->RememberAction());
    desktop->addSeparator();
    desktop->addAction(tray->ShowAction());
    desktop->addAction(tray->KeepAction());
    listActions->AddMenu(desktop);
    connect(listActions, &ProfileListActions::removeRequested, this, &MainWindow::OnRemoveProfile);
    connect(listActions, &ProfileListActions::storeWindowRequested, this,
            &MainWindow::StoreWindowAsNewProfile);
    // The list has the keyboard from the start: Down and Enter work at once.
    profileList->setFocus();
    auto *view = new DocumentView(document, profileList, optionBoxes, argumentsEdit, running, this);
    connect(view, &DocumentView::currentProfileChanged, this, &MainWindow::OnProfileChanged);
    connect(view, &DocumentView::shownChanged, this, &MainWindow::UpdateAddUpdateButton);

    // Not needed for the first paint.
    RunAfterFirstPaint(this, document, [this] {
        // Its button shows only once there is text; making it loads an icon.
        filterEdit->setClearButtonEnabled(true);
        document->StartWatching();
        launcher->Start();
        companions->Start();
        // Open at the last end: open again once the emulators started before are known.
        control->ReopenRunningPanel();
        SetApplicationIcon();
    });
}

MainWindow::~MainWindow()
{
    WriteConfig();
}

bool MainWindow::ReadConfig(const QString &path, bool isUserFile, PendingProfiles *later)
{
    return ReadConfigTelling(this, *document, path, isUserFile, later);
}

QList<int> MainWindow::CurrentOptionIndexes() const
{
    QList<int> indexes;
    indexes.reserve(OptionSectionCount);
    for (int s = 1; s <= OptionSectionCount; ++s)
        indexes.append(optionBoxes[s]->currentIndex());
    return indexes;
}

ProfileSettings MainWindow::CurrentSettings() const
{
    return ProfileSettings::Of(Config(), CurrentOptionIndexes(), CurrentArguments());
}

QString MainWindow::CurrentProfileName() const
{
    const int row = profileList->currentRow();
    return row >= 0 && row < Config().profiles.size() ? Config().profiles.at(row).name : QString();
}

QString MainWindow::CurrentArguments() const
{
    return argumentsEdit->isReadOnly() ? shownArgumentsWhole : argumentsEdit->text();
}

QString MainWindow::CurrentValueText() const
{
    return OptionValueText(Config().sections, CurrentOptionIndexes(), CurrentArguments());
}

void MainWindow::UpdateAddUpdateButton()
{
    const int row = profileList->currentRow();
    addUpdateButton->setText(row == 0 ? tr("A&dd") : tr("&Update"));
    addUpdateButton->setAccessibleName(row == 0 ? tr("Add profile") : tr("Update profile"));
    // Screen readers hear what a launch would start; it changes with everything shown.
    if (launchButton)
        launchButton->setAccessibleDescription(DescribeCommand(CurrentCommand()));
    const bool stored = row >= 0 && row < Config().profiles.size();
    addUpdateButton->setEnabled(stored && CurrentValueText() !=
                                              Config().ProfileValueText(Config().profiles.at(row)));
}

void MainWindow::OnProfileChanged(int index)
{
    if (index < 0 || index >= Config().profiles.size())
        return;
    // A copy: the nested slots below run while the profile is being loaded.
    const LauncherProfile profile = Config().profiles.at(index);
    for (int s = 1; s <= OptionSectionCount; ++s)
        optionBoxes[s]->setCurrentIndex(profile.optionIndex.value(s - 1));
    // Arguments too long to show are cut and read-only; launching and saving use the whole.
    const bool tooLong = profile.arguments.size() > MaxShownLength;
    shownArgumentsWhole = tooLong ? profile.arguments : QString();
    argumentsEdit->setReadOnly(tooLong);
    const QString shown = tooLong ? ShownText(profile.arguments) : profile.arguments;
    // The same text again (the profile just stored) keeps the cursor where the user left it.
    if (argumentsEdit->text() != shown)
        argumentsEdit->setText(shown);
    removeProfileButton->setEnabled(index != 0);
    UpdateAddUpdateButton();
}

void MainWindow::OnAddUpdateProfile()
{
    const int row = profileList->currentRow();
    if (row < 0 || row >= Config().profiles.size())
        return;
    if (row == 0) {
        StoreWindowAsNewProfile(tr("Add Profile"), tr("Enter the name for the new profile"),
                                QString());
        return;
    }
    if (ArgumentsCanBeStored(WarningTitle()))
        document->UpdateProfile(Config().profiles.at(row).name, CurrentSettings());
}

bool MainWindow::ArgumentsCanBeStored(const QString &title)
{
    const QString word = OptionHeaderWord(Config().sections, CurrentArguments());
    if (word.isEmpty())
        return true;
    ShowMessage(this, QMessageBox::Warning, title,
                tr("The arguments cannot contain the word %1: when the launcher reads the "
                   "profile again, it would take the word for one of the profile's options.")
                    .arg(word));
    return false;
}

void MainWindow::StoreWindowAsNewProfile(const QString &title, const QString &label,
                                         const QString &suggestion)
{
    if (!ArgumentsCanBeStored(title))
        return;
    // Declining to replace an existing profile asks for another name.
    for (;;) {
        const QString name = AskProfileName(this, title, label, suggestion);
        if (name.isEmpty())
            return;
        if (const std::optional<ProfileDocument::Expected> asked = document->ExpectedOf(name)) {
            if (ShowMessage(this, QMessageBox::Question, title,
                            tr("This profile already exists. Do you want to replace it?"),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
                continue;
            // Found again, with the window's options as they stand after the question, and
            // replaced only while it stores what it did when the user was asked.
            switch (document->UpdateProfile(name, CurrentSettings(), asked->settings)) {
            case ProfileDocument::EditResult::Done:
                break;
            case ProfileDocument::EditResult::Changed:
                TellProfileChanged(this, title, name);
                return;
            default:
                TellProfileGone(this, title, name);
                return;
            }
        } else if (document->AddProfile(name, CurrentSettings()) !=
                   ProfileDocument::EditResult::Done) {
            return;
        }
        profileList->setCurrentRow(Config().FindProfile(name));
        return;
    }
}

void MainWindow::OnRemoveProfile()
{
    const int row = profileList->currentRow();
    // The first profile is never removed; several selected are asked about at once.
    if (listActions->RemoveSelection() || row <= 0 || row >= Config().profiles.size())
        return;
    const QString name = Config().profiles.at(row).name;
    const ProfileSettings asked = ProfileSettings::Of(Config(), Config().profiles.at(row));
    const QString title = tr("Confirm Remove Profile");
    if (ShowMessage(this, QMessageBox::Question, title,
                    tr("Are you sure you want to remove this profile?\n\n") + ShownName(name),
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The list may have changed while the question was open: the profile is found by name,
    // and removed only while it stores what the user was asked about.
    switch (document->RemoveProfile(name, asked)) {
    case ProfileDocument::EditResult::Done:
        break;
    case ProfileDocument::EditResult::Changed:
        TellProfileChanged(this, title, name);
        break;
    default:
        TellProfileGone(this, title, name);
        break;
    }
}

void MainWindow::OnResolution(int index)
{
    removeResolutionButton->setEnabled(index != 0);
    UpdateAddUpdateButton();
}

void MainWindow::OnPixelDensity(int index)
{
    removePixelDensityButton->setEnabled(index != 0);
    UpdateAddUpdateButton();
}

void MainWindow::OnInput()
{
    UpdateAddUpdateButton();
}

void MainWindow::OnTextCtrlEdit()
{
    UpdateAddUpdateButton();
}

void MainWindow::AddOption(int section, const ConfigEntry &entry)
{
    document->AddOption(section, entry);
    optionBoxes[section]->setCurrentIndex(optionBoxes[section]->count() - 1);
}

void MainWindow::OnAddResolution()
{
    if (const std::optional<ConfigEntry> entry = AskResolution(this))
        AddOption(SectionResolution, *entry);
}

void MainWindow::OnAddPixelDensity()
{
    if (const std::optional<ConfigEntry> entry = AskPixelDensity(this))
        AddOption(SectionPixelDensity, *entry);
}

void MainWindow::OnRemoveResolution()
{
    RemoveSelectedOption(SectionResolution);
}

void MainWindow::OnRemovePixelDensity()
{
    RemoveSelectedOption(SectionPixelDensity);
}

void MainWindow::RemoveSelectedOption(int section)
{
    const LauncherConfig &config = Config();
    const int cur = optionBoxes[section]->currentIndex();
    // No current entry (a position the list lacks): nothing to remove; never the first entry.
    if (cur < 1 || !config.HasEntry(section, cur))
        return;
    // The entry by name and value: the lists may change while the question is open.
    const ConfigEntry entry = config.sections.at(section).entries.at(cur);
    const QStringList users = config.ProfilesUsingOption(section, cur);
    // The profiles it changes, as the question names them.
    QList<ProfileDocument::Expected> asked;
    for (const QString &user : users)
        asked.append(*document->ExpectedOf(user));
    const QString noun = SectionLabel(config.sections.at(section).header, true);
    const char *translatable = RowNoun(section);
    const QString title =
        tr("Confirm remove %1").arg(noun == QLatin1String(translatable) ? tr(translatable) : noun);
    if (!users.isEmpty() && !ConfirmOptionRemoval(this, title, users))
        return;
    // The removal moves the profiles that used it to the first entry and folds the option into
    // their arguments; the selected one shows what is stored now, so that Update cannot undo
    // it. A profile that did not use the option keeps what the user has typed.
    switch (document->RemoveOption(section, entry, asked)) {
    case ProfileDocument::EditResult::Done:
        optionBoxes[section]->setCurrentIndex(0);
        break;
    case ProfileDocument::EditResult::Changed:
        ShowMessage(this, QMessageBox::Information, title,
                    tr("The profiles that use \"%1\" were changed outside the launcher since "
                       "you were asked. Nothing was removed.")
                        .arg(ShownText(entry.name)));
        break;
    default:
        ShowMessage(this, QMessageBox::Information, title,
                    tr("\"%1\" is no longer in the list: the configuration file was "
                       "changed outside the launcher meanwhile. Nothing was removed.")
                        .arg(ShownText(entry.name)));
        break;
    }
}

SplitCommand MainWindow::CurrentCommand() const
{
    SplitCommand command =
        EmulatorCommand(GetFilePath(EmulatorFile), Config(), CurrentOptionIndexes(),
                        CurrentProfileName(), CurrentArguments());
    // Before the companions are made (the first paint) no profile carries anything more.
    if (companions)
        AddExtras(command, companions->Extras()->Of(CurrentProfileName()));
    return command;
}

void MainWindow::OnHelp()
{
    const QString page = HelpPagePath();
    if (!OpenLocalPage(page)) {
        ShowMessage(this, QMessageBox::Warning, WarningTitle(),
                    tr("The help page %1 could not be opened: no program to show it was "
                       "found.")
                        .arg(ShownPath(page)));
    }
}

void MainWindow::OnLaunch()
{
    // What the window shows is what the file holds only once someone else's change of it is
    // taken in: the launch waits for that (never long), then starts what is shown then.
    document->WhenSettled(this, [this] { LaunchShown(); });
}

void MainWindow::LaunchShown()
{
    // Several profiles selected: each launched as stored.
    if (profileList->currentItem())
        control->Launch(CurrentProfileName(), CurrentCommand());
}

void MainWindow::ShowFiltered(const QString &text)
{
    filterEdit->setText(text);
    profileList->setFocus();
}

void MainWindow::ImportFiles(const QStringList &paths)
{
    // One at a time, each with its questions, once the window runs (the companions exist).
    for (const QString &path : paths)
        listActions->Exchange()->ImportAsking(path);
}

namespace {
QStringList DroppedFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}
} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (listActions && !DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = DroppedFiles(event->mimeData());
    if (!listActions || paths.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the import's questions are modal.
    QTimer::singleShot(0, this, [this, paths] { ImportFiles(paths); });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (tray && tray->KeepsRunning()) {
        hide();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
