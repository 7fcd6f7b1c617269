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
#include "windowbuttonbox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>
#include <limits>
#include <optional>

namespace {

QPushButton *NamedButton(const QString &text, const char *objectName,
                         const QString &accessibleName = QString())
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    button->setAccessibleName(accessibleName);
    return button;
}

} // namespace

// The three option rows, top to bottom. Widgets are created, and slots connected, in this
// order; a row without "Add" and "Remove" buttons has no add slot.
struct MainWindow::OptionRow
{
    int section;
    const char *boxObject; // object names
    const char *addObject;
    const char *removeObject;
    // The row's label (SectionLabel's text with a mnemonic) and the noun of its removal question,
    // its buttons and what screen readers call them: all translated.
    const char *shownLabel;
    const char *noun;
    const char *addText;
    const char *removeText;
    const char *addName;
    const char *removeName;
    void (MainWindow::*onIndexChanged)(int);
    void (MainWindow::*onChanged)();
    void (MainWindow::*onAdd)();
    void (MainWindow::*onRemove)();
    QPushButton *MainWindow::*removeButton;
};

const MainWindow::OptionRow MainWindow::optionRows[OptionSectionCount] = {
    {SectionResolution, "resolutionBox", "addResolutionButton", "removeResolutionButton",
     QT_TRANSLATE_NOOP("MainWindow", "&Resolution"), QT_TRANSLATE_NOOP("MainWindow", "resolution"),
     QT_TRANSLATE_NOOP("MainWindow", "A&dd"), QT_TRANSLATE_NOOP("MainWindow", "Remo&ve"),
     QT_TRANSLATE_NOOP("MainWindow", "Add resolution"),
     QT_TRANSLATE_NOOP("MainWindow", "Remove resolution"), &MainWindow::OnResolution, nullptr,
     &MainWindow::OnAddResolution, &MainWindow::OnRemoveResolution,
     &MainWindow::removeResolutionButton},
    {SectionPixelDensity, "pixelDensityBox", "addPixelDensityButton", "removePixelDensityButton",
     QT_TRANSLATE_NOOP("MainWindow", "&Pixel Density"),
     QT_TRANSLATE_NOOP("MainWindow", "pixel density"), QT_TRANSLATE_NOOP("MainWindow", "A&dd"),
     QT_TRANSLATE_NOOP("MainWindow", "Rem&ove"),
     QT_TRANSLATE_NOOP("MainWindow", "Add pixel density"),
     QT_TRANSLATE_NOOP("MainWindow", "Remove pixel density"), &MainWindow::OnPixelDensity, nullptr,
     &MainWindow::OnAddPixelDensity, &MainWindow::OnRemovePixelDensity,
     &MainWindow::removePixelDensityButton},
    {SectionInput, "inputBox", nullptr, nullptr, QT_TRANSLATE_NOOP("MainWindow", "&Input"),
     QT_TRANSLATE_NOOP("MainWindow", "input"), nullptr, nullptr, nullptr, nullptr, nullptr,
     &MainWindow::OnInput, nullptr, nullptr, nullptr},
};

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
    listActions =
        new ProfileListActions(this, document, profileList, launchButton, filterEdit,
                               {running, control, companions}, [this] { return CurrentCommand(); });
    connect(listActions, &ProfileListActions::launchRequested, this, &MainWindow::OnLaunch);
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

QGroupBox *MainWindow::BuildProfileGroup()
{
    auto *group = new QGroupBox(tr("Pro&file"));
    auto *groupLayout = new QHBoxLayout;
    group->setLayout(groupLayout);

    auto *profileGrid = new QGridLayout;
    groupLayout->addLayout(profileGrid);
    filterEdit = new QLineEdit;
    filterEdit->setObjectName(QStringLiteral("profileFilter"));
    filterEdit->setAccessibleName(tr("Filter profiles"));
    filterEdit->setPlaceholderText(tr("Filter profiles (Ctrl+F)"));
    profileGrid->addWidget(filterEdit, 0, 0, 1, -1);
    profileList = new ProfileQListWidget;
    profileList->setObjectName(QStringLiteral("profileList"));
    profileList->setAccessibleName(tr("Profiles"));
    profileList->setItemDelegate(new RunningCountDelegate(profileList));
    // A long file's profiles may still be being read: their names are known.
    profileList->addItems(
        ShownNames(startupProfiles.Pending() ? startupProfiles.names : Config().ProfileNames()));
    // Row 0 is selected before the signal is connected, so filling the list runs no slot.
    profileList->setCurrentRow(0);
    connect(profileList, &QListWidget::currentRowChanged, this, &MainWindow::OnProfileChanged);
    profileGrid->addWidget(profileList, 1, 0, 1, -1);

    addUpdateButton = NamedButton(tr("A&dd"), "addUpdateButton");
    connect(addUpdateButton, &QPushButton::clicked, this, &MainWindow::OnAddUpdateProfile);
    profileGrid->addWidget(addUpdateButton, 2, 0);
    removeProfileButton = NamedButton(tr("Re&move"), "removeProfileButton", tr("Remove profile"));
    connect(removeProfileButton, &QPushButton::clicked, this, &MainWindow::OnRemoveProfile);
    profileGrid->addWidget(removeProfileButton, 2, 1);

    auto *form = new QFormLayout;
    for (const OptionRow &row : optionRows) {
        // The label is the header's own text; the table holds the same words for translation.
        const QString label = SectionLabel(Config().sections.at(row.section).header, false);
        QGridLayout *rowGrid = BuildOptionRow(row);
        const bool own = label == QString::fromUtf8(row.shownLabel).remove(QLatin1Char('&'));
        form->addRow(own ? tr(row.shownLabel) : label, rowGrid);
        // Screen readers name a combo box by the label it is "labelled by": its buddy.
        if (auto *labelWidget = qobject_cast<QLabel *>(form->labelForField(rowGrid)))
            labelWidget->setBuddy(optionBoxes[row.section]);
    }

    argumentsEdit = new QLineEdit;
    argumentsEdit->setObjectName(QStringLiteral("argumentsEdit"));
    // Stored, launched and saved however long; a pasted line break becomes a blank.
    argumentsEdit->setMaxLength(std::numeric_limits<int>::max());
    argumentsEdit->setValidator(new LineBreakValidator(argumentsEdit));
    connect(argumentsEdit, &QLineEdit::textChanged, this, &MainWindow::OnTextCtrlEdit);
    form->addRow(tr("&Arguments"), argumentsEdit);

    groupLayout->addSpacing(10);
    groupLayout->addLayout(form);
    return group;
}

QGridLayout *MainWindow::BuildOptionRow(const OptionRow &row)
{
    auto *rowGrid = new QGridLayout;
    auto *combo = new OptionComboBox;
    combo->setObjectName(QLatin1String(row.boxObject));
    optionBoxes[row.section] = combo;
    combo->insertItems(0, ShownTexts(Config().EntryNames(row.section), MaxShownEntryLength));
    rowGrid->addWidget(combo, 0, 0, 1, -1);

    if (row.onIndexChanged)
        connect(combo, &QComboBox::currentIndexChanged, this, row.onIndexChanged);
    else
        connect(combo, &QComboBox::currentIndexChanged, this, row.onChanged);
    if (row.onAdd) {
        auto *add = NamedButton(tr(row.addText), row.addObject, tr(row.addName));
        connect(add, &QPushButton::clicked, this, row.onAdd);
        rowGrid->addWidget(add, 1, 0);
        auto *remove = NamedButton(tr(row.removeText), row.removeObject, tr(row.removeName));
        connect(remove, &QPushButton::clicked, this, row.onRemove);
        rowGrid->addWidget(remove, 1, 1);
        this->*row.removeButton = remove;
    }
    // insertItems into the empty box already made item 0 current: this emits nothing.
    combo->setCurrentIndex(0);
    return rowGrid;
}

QDialogButtonBox *MainWindow::BuildButtonBox()
{
    auto *helpButton = NamedButton(tr("&Help"), "helpButton");
    connect(helpButton, &QPushButton::clicked, this, &MainWindow::OnHelp);
    launchButton = NamedButton(tr("&Launch"), "launchButton");
    connect(launchButton, &QPushButton::clicked, this, &MainWindow::OnLaunch);
    // The tooltip's command is composed when asked for; the description follows every change.
    new ToolTipProvider(launchButton, [this] { return DescribeCommand(CurrentCommand()); });
    auto *buttonBox = new WindowButtonBox;
    buttonBox->addButton(helpButton, QDialogButtonBox::HelpRole);
    buttonBox->addButton(launchButton, QDialogButtonBox::AcceptRole);
    return buttonBox;
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
    const char *translatable = optionRows[section - 1].noun;
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
    return EmulatorCommand(GetFilePath(EmulatorFile), Config(), CurrentOptionIndexes(),
                           CurrentProfileName(), CurrentArguments());
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
