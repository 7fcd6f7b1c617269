#include "mainwindow.h"

#include "adddlg.h"
#include "afterfirstpaint.h"
#include "applicationsetup.h"
#include "commandline.h"
#include "configformat.h"
#include "configmessages.h"
#include "desktopentry.h"
#include "dialogs.h"
#include "emulatorlaunch.h"
#include "filelocations.h"
#include "instances.h"
#include "linebreakvalidator.h"
#include "optioncombobox.h"
#include "profileexchange.h"
#include "profilelistactions.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"
#include "runningemulatorsview.h"
#include "tooltipprovider.h"
#include "windowbuttonbox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

QString AddProfileTitle()
{
    return MainWindow::tr("Add Profile");
}

// A long list of names in a message would push its buttons off the screen.
constexpr int ListedNames = 15;

QStringList ShownTexts(QStringList texts, qsizetype limit = MaxShownLength)
{
    // Looked at before anything is changed: a list with nothing to cut stays shared.
    const auto tooLong = [limit](const QString &text) {
        return text.size() > limit;
    };
    if (std::none_of(texts.cbegin(), texts.cend(), tooLong))
        return texts;
    for (QString &text : texts) {
        if (tooLong(text))
            text = ShownText(text, limit);
    }
    return texts;
}

// An option box shows one entry on one line: a few hundred characters are more than any screen
// shows, and laying out a longer text holds up every paint of the box.
constexpr qsizetype MaxShownEntryLength = 300;

} // namespace

// The three option rows, top to bottom. Widgets are created, and slots connected, in this
// order; a row without "Add" and "Remove" buttons has no add slot.
struct MainWindow::OptionRow
{
    int section;
    const char *name; // object names: "<name>Box", "add<Name>Button", "remove<Name>Button"
    // What SectionLabel gives for the row's header, as a label and as the noun of the removal
    // question, so that they are translated; and what screen readers call the row's buttons.
    const char *label;
    const char *noun;
    const char *addName;
    const char *removeName;
    void (MainWindow::*onIndexChanged)(int);
    void (MainWindow::*onChanged)();
    void (MainWindow::*onAdd)();
    void (MainWindow::*onRemove)();
    QPushButton *MainWindow::*removeButton;
};

const MainWindow::OptionRow MainWindow::optionRows[OptionSectionCount] = {
    {SectionResolution, "Resolution", QT_TRANSLATE_NOOP("MainWindow", "Resolution"),
     QT_TRANSLATE_NOOP("MainWindow", "resolution"),
     QT_TRANSLATE_NOOP("MainWindow", "Add resolution"),
     QT_TRANSLATE_NOOP("MainWindow", "Remove resolution"), &MainWindow::OnResolution, nullptr,
     &MainWindow::OnAddResolution, &MainWindow::OnRemoveResolution,
     &MainWindow::removeResolutionButton},
    {SectionPixelDensity, "PixelDensity", QT_TRANSLATE_NOOP("MainWindow", "Pixel Density"),
     QT_TRANSLATE_NOOP("MainWindow", "pixel density"),
     QT_TRANSLATE_NOOP("MainWindow", "Add pixel density"),
     QT_TRANSLATE_NOOP("MainWindow", "Remove pixel density"), &MainWindow::OnPixelDensity, nullptr,
     &MainWindow::OnAddPixelDensity, &MainWindow::OnRemovePixelDensity,
     &MainWindow::removePixelDensityButton},
    {SectionInput, "Input", QT_TRANSLATE_NOOP("MainWindow", "Input"),
     QT_TRANSLATE_NOOP("MainWindow", "input"), nullptr, nullptr, nullptr, &MainWindow::OnInput,
     nullptr, nullptr, nullptr},
};

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(tr("Velmora Mobile Emulator"));

    if (!ReadConfig(store.UserPath(), true, &startupProfiles) &&
        !ReadConfig(store.DefaultPath(), false, &startupProfiles)) {
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
        config.profiles = startupProfiles.Take();
    }
    OnProfileChanged(0);
    OnResolution(0);
    OnPixelDensity(0);
    listActions = new ProfileListActions(this, profileList, launchButton, filterEdit);
    // The list has the keyboard from the start: Down and Enter work at once.
    profileList->setFocus();
    listActions->SetRemoveEnabled(removeProfileButton->isEnabled());

    // What is on disk now; edits made outside are taken in from here on.
    savedConfig = config;
    connect(&store, &ConfigStore::userFileChanged, this, [this] { TakeInOutsideChange(); });
    connect(&store, &ConfigStore::saved, this, &MainWindow::OnSaved);
    unreadableSettle = new QTimer(this);
    unreadableSettle->setSingleShot(true);
    unreadableSettle->setInterval(200);
    connect(unreadableSettle, &QTimer::timeout, this, &MainWindow::OnUnreadableSettled);
    // The emulators started before, by this window or another launcher process.
    running = new RunningEmulatorsView(this, profileList, listActions);
    // Not needed for the first paint.
    RunAfterFirstPaint(this, &store, [this] {
        // Its button shows only once there is text; making it loads an icon.
        filterEdit->setClearButtonEnabled(true);
        store.WatchUserFile();
        running->Start();
        SetApplicationIcon();
    });
}

QGroupBox *MainWindow::BuildProfileGroup()
{
    auto *group = new QGroupBox(tr("Profile"));
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
        ShownTexts(startupProfiles.Pending() ? startupProfiles.names : config.ProfileNames()));
    // Row 0 is selected before the signal is connected, so filling the list runs no slot.
    profileList->setCurrentRow(0);
    connect(profileList, &QListWidget::currentRowChanged, this, &MainWindow::OnProfileChanged);
    profileGrid->addWidget(profileList, 1, 0, 1, -1);

    addUpdateButton = new QPushButton(tr("Add"));
    addUpdateButton->setObjectName(QStringLiteral("addUpdateButton"));
    connect(addUpdateButton, &QPushButton::clicked, this, &MainWindow::OnAddUpdateProfile);
    profileGrid->addWidget(addUpdateButton, 2, 0);
    removeProfileButton = new QPushButton(tr("Remove"));
    removeProfileButton->setObjectName(QStringLiteral("removeProfileButton"));
    removeProfileButton->setAccessibleName(tr("Remove profile"));
    connect(removeProfileButton, &QPushButton::clicked, this, &MainWindow::OnRemoveProfile);
    profileGrid->addWidget(removeProfileButton, 2, 1);

    auto *form = new QFormLayout;
    for (const OptionRow &row : optionRows) {
        // The label is the header's own text; the table holds the same words for translation.
        const QString label = SectionLabel(config.sections.at(row.section).header, false);
        QGridLayout *rowGrid = BuildOptionRow(row);
        form->addRow(label == QLatin1String(row.label) ? tr(row.label) : label, rowGrid);
        // The label names the box for screen readers: they read a combo box's entry with the
        // label it is "labelled by", which is its buddy.
        if (auto *labelWidget = qobject_cast<QLabel *>(form->labelForField(rowGrid)))
            labelWidget->setBuddy(config.sections.at(row.section).comboBox);
    }

    argumentsEdit = new QLineEdit;
    argumentsEdit->setObjectName(QStringLiteral("argumentsEdit"));
    // What is stored is what is shown, launched and saved, however long; a pasted line break
    // becomes a blank, as on a terminal's command line.
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
    const QString name = QLatin1String(row.name);
    auto *rowGrid = new QGridLayout;
    auto *combo = new OptionComboBox;
    combo->setObjectName(name.at(0).toLower() + name.mid(1) + QLatin1String("Box"));
    config.sections[row.section].comboBox = combo;
    combo->insertItems(0, ShownTexts(config.EntryNames(row.section), MaxShownEntryLength));
    rowGrid->addWidget(combo, 0, 0, 1, -1);

    if (row.onIndexChanged)
        connect(combo, &QComboBox::currentIndexChanged, this, row.onIndexChanged);
    else
        connect(combo, &QComboBox::currentIndexChanged, this, row.onChanged);
    if (row.onAdd) {
        auto *add = new QPushButton(tr("Add"));
        add->setObjectName(QLatin1String("add") + name + QLatin1String("Button"));
        add->setAccessibleName(tr(row.addName));
        connect(add, &QPushButton::clicked, this, row.onAdd);
        rowGrid->addWidget(add, 1, 0);
        auto *remove = new QPushButton(tr("Remove"));
        remove->setObjectName(QLatin1String("remove") + name + QLatin1String("Button"));
        remove->setAccessibleName(tr(row.removeName));
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
    auto *helpButton = new QPushButton(tr("&Help"));
    helpButton->setObjectName(QStringLiteral("helpButton"));
    connect(helpButton, &QPushButton::clicked, this, &MainWindow::OnHelp);
    launchButton = new QPushButton(tr("&Launch"));
    launchButton->setObjectName(QStringLiteral("launchButton"));
    connect(launchButton, &QPushButton::clicked, this, &MainWindow::OnLaunch);
    // The tooltip's command is composed when the tooltip is asked for; the accessible
    // description follows every change (UpdateAddUpdateButton).
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
    ConfigStore::ReadResult read = store.Read(path, isUserFile, later);
    switch (read.status) {
    case ConfigStore::ReadResult::Missing:
        return false;
    case ConfigStore::ReadResult::Unreadable:
        if (isUserFile)
            TellUnreadableConfig(this, path, read.reason);
        return false;
    case ConfigStore::ReadResult::Loaded:
        config = std::move(read.config);
        return true;
    case ConfigStore::ReadResult::OutOfDate:
        break;
    }

    if (isUserFile) {
        bool renamed = false;
        const QString newPath = RenameOutdatedConfig(read.version, &renamed);
        TellOutdatedConfig(this, renamed, newPath);
        return false;
    }
    TellOutdatedDefaultConfig(this);
    config = std::move(read.config);
    return true;
}

QString MainWindow::RenameOutdatedConfig(int version, bool *renamed)
{
    const ConfigMoveResult move = store.MoveOutdated(version);
    if (renamed)
        *renamed = move.moved;
    return move.path;
}

bool MainWindow::WriteConfig()
{
    // Closing, or the session asking for the data: nobody is there to answer a message.
    const QScopedValueRollback<bool> quiet(tellSaveFailures, false);
    lastSave = {};
    store.SaveInBackground(config);
    WaitForSaves();
    return lastSave.saved;
}

void MainWindow::WaitForSaves()
{
    // A save that found the file changed by someone else takes that file in and saves again;
    // a few rounds are enough for anything but a program rewriting the file all the time.
    for (int round = 0; round < 3 && store.Saving(); ++round)
        store.FinishSaves();
}

void MainWindow::SaveChanges()
{
    store.SaveInBackground(config);
}

void MainWindow::OnSaved(const ConfigSaveResult &result, const LauncherConfig &written)
{
    lastSave = result;
    if (result.saved) {
        savedConfig = written;
        return;
    }
    // Someone else changed the file since it was read: this change goes into theirs.
    if (result.changedOnDisk) {
        TakeInOutsideChange();
        return;
    }
    // Once until a save succeeds again: every change of a session on a full disk would
    // otherwise ask to be clicked away.
    if (result.firstFailure && tellSaveFailures)
        TellChangesNotSaved(this, store.UserPath(), result.reason);
}

void MainWindow::TakeInOutsideChange()
{
    // What the window saved meanwhile is part of what it compares with.
    store.FinishSaves();
    ConfigStore::ReadResult read = store.ReadChangedUserFile();
    switch (read.status) {
    case ConfigStore::ReadResult::Loaded: {
        store.HoldUserFile(false);
        outsideProblemShown = false;
        // The window's change since the last save, applied to what is on disk now.
        const bool windowChanged =
            config.profiles != savedConfig.profiles || !SameEntries(config, savedConfig);
        LauncherConfig merged = std::move(read.config);
        ApplyModelChange(merged, savedConfig, config);
        AdoptConfig(std::move(merged));
        savedConfig = config;
        if (windowChanged)
            SaveChanges();
        return;
    }
    case ConfigStore::ReadResult::Missing:
        // Removed: the window's profiles make it again.
        store.HoldUserFile(false);
        store.AcceptDiskState();
        SaveChanges();
        return;
    case ConfigStore::ReadResult::Unreadable:
    case ConfigStore::ReadResult::OutOfDate:
        // An editor that saves by truncating and writing shows an empty or half-written file
        // for a moment: saves wait, and the file is judged once it has stopped changing.
        store.HoldUserFile(true);
        heldFile = {read.empty, read.status == ConfigStore::ReadResult::OutOfDate && !read.empty
                                    ? tr("it is of version %1").arg(read.version)
                                    : read.reason};
        unreadableSettle->start();
        return;
    }
}

void MainWindow::OnUnreadableSettled()
{
    if (!store.HoldsUserFile())
        return;
    // Changed again since it was read: read it again.
    if (!store.UserFileUnchanged()) {
        TakeInOutsideChange();
        return;
    }
    if (heldFile.empty) {
        // Emptied and left so: nothing of anyone's is lost by writing the window's profiles.
        store.HoldUserFile(false);
        SaveChanges();
        return;
    }
    // Saves wait until it can be read again; the next change of the file is read as usual.
    if (!outsideProblemShown) {
        outsideProblemShown = true;
        TellOutsideChangeUnusable(this, store.UserPath(), heldFile.reason);
    }
}

bool MainWindow::SameEntries(const LauncherConfig &a, const LauncherConfig &b)
{
    for (int s = 1; s < SectionCount; ++s) {
        if (a.sections.value(s).entries != b.sections.value(s).entries)
            return false;
    }
    return true;
}

void MainWindow::AdoptConfig(LauncherConfig model)
{
    // What the window shows now, stored or not, to show again in the new model.
    const int row = profileList->currentRow();
    const bool hadRow = row >= 0 && row < config.profiles.size();
    const QString currentName = hadRow ? config.profiles.at(row).name : QString();
    const bool edited =
        hadRow && CurrentValueText() != config.ProfileValueText(config.profiles.at(row));
    // The entry each box shows, or none (no entry can be found for none).
    QList<std::optional<ConfigEntry>> chosen;
    for (int s = 1; s < SectionCount; ++s) {
        const int index = config.sections.at(s).comboBox->currentIndex();
        chosen.append(config.HasEntry(s, index)
                          ? std::optional<ConfigEntry>(config.sections.at(s).entries.at(index))
                          : std::nullopt);
    }
    const QString typed = argumentsEdit->text();
    const bool typedWhole = !argumentsEdit->isReadOnly();

    for (int s = 0; s < SectionCount && s < config.sections.size(); ++s)
        model.sections[s].comboBox = config.sections.at(s).comboBox;
    config = std::move(model);
    for (int s = 1; s < SectionCount; ++s) {
        QComboBox *combo = config.sections.at(s).comboBox;
        combo->clear();
        combo->insertItems(0, ShownTexts(config.EntryNames(s), MaxShownEntryLength));
    }
    profileList->clear();
    profileList->addItems(ShownTexts(config.ProfileNames()));
    const int found = config.FindProfile(currentName);
    profileList->setCurrentRow(found >= 0 ? found : 0);
    if (found >= 0 && edited) {
        for (int s = 1; s < SectionCount; ++s) {
            const QList<ConfigEntry> &entries = config.sections.at(s).entries;
            const std::optional<ConfigEntry> &entry = chosen.at(s - 1);
            config.sections.at(s).comboBox->setCurrentIndex(entry ? int(entries.indexOf(*entry))
                                                                  : -1);
        }
        if (typedWhole)
            argumentsEdit->setText(typed);
    }
    profileList->SetFilter(profileList->Filter());
    running->Refresh(true);
    UpdateAddUpdateButton();
}

QString MainWindow::SectionLabel(const QString &header, bool lowerCase)
{
    QString label;
    bool afterLower = false;
    for (const QChar c : header) {
        if (c == u'[' || c == u']')
            continue;
        if (afterLower && c.category() == QChar::Letter_Uppercase)
            label += QLatin1Char(' ');
        afterLower = c.category() == QChar::Letter_Lowercase;
        label += (lowerCase && c.category() == QChar::Letter_Uppercase) ? c.toLower() : c;
    }
    return label;
}

QList<int> MainWindow::CurrentOptionIndexes() const
{
    QList<int> indexes;
    indexes.reserve(OptionSectionCount);
    for (int s = 1; s <= OptionSectionCount; ++s)
        indexes.append(config.sections.at(s).comboBox->currentIndex());
    return indexes;
}

QString MainWindow::CurrentArguments() const
{
    return argumentsEdit->isReadOnly() ? shownArgumentsWhole : argumentsEdit->text();
}

QString MainWindow::CurrentValueText() const
{
    return OptionValueText(config.sections, CurrentOptionIndexes(), CurrentArguments());
}

void MainWindow::UpdateAddUpdateButton()
{
    const int row = profileList->currentRow();
    addUpdateButton->setText(row == 0 ? tr("Add") : tr("Update"));
    addUpdateButton->setAccessibleName(row == 0 ? tr("Add profile") : tr("Update profile"));
    // Screen readers hear what a launch would start; it changes with everything shown.
    if (launchButton)
        launchButton->setAccessibleDescription(DescribeCommand(CurrentCommand()));
    if (row < 0 || row >= config.profiles.size()) {
        addUpdateButton->setEnabled(false);
        return;
    }
    addUpdateButton->setEnabled(CurrentValueText() !=
                                config.ProfileValueText(config.profiles.at(row)));
}

void MainWindow::OnProfileChanged(int index)
{
    if (index < 0 || index >= config.profiles.size())
        return;
    // A copy: the nested slots below run while the profile is being loaded.
    const LauncherProfile profile = config.profiles.at(index);
    for (int s = 1; s <= OptionSectionCount; ++s)
        config.sections.at(s).comboBox->setCurrentIndex(profile.optionIndex.value(s - 1));
    // Arguments too long to show are shown cut and cannot be edited; launching and saving use
    // the whole text.
    const bool tooLong = profile.arguments.size() > MaxShownLength;
    shownArgumentsWhole = tooLong ? profile.arguments : QString();
    argumentsEdit->setReadOnly(tooLong);
    argumentsEdit->setText(tooLong ? ShownText(profile.arguments) : profile.arguments);
    removeProfileButton->setEnabled(index != 0);
    if (listActions)
        listActions->SetRemoveEnabled(index != 0);
    UpdateAddUpdateButton();
}

void MainWindow::OnAddUpdateProfile()
{
    const int row = profileList->currentRow();
    if (row < 0 || row >= config.profiles.size())
        return;
    if (row == 0) {
        if (ArgumentsCanBeStored(AddProfileTitle()))
            StoreWindowAsNewProfile(AddProfileTitle(), tr("Enter the name for the new profile"),
                                    QString());
        return;
    }
    if (!ArgumentsCanBeStored(WarningTitle()))
        return;
    const QList<int> indexes = CurrentOptionIndexes();
    config.UpdateProfile(row, indexes.at(0), indexes.at(1), indexes.at(2), CurrentArguments());
    UpdateAddUpdateButton();
    SaveChanges();
}

bool MainWindow::ArgumentsCanBeStored(const QString &title)
{
    const QString word = OptionHeaderWord(config.sections, CurrentArguments());
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
    // Declining to replace an existing profile asks for another name.
    for (;;) {
        const QString name = AskProfileName(this, title, label, suggestion);
        if (name.isEmpty())
            return;
        if (config.FindProfile(name) >= 0) {
            if (ShowMessage(this, QMessageBox::Question, title,
                            tr("This profile already exists. Do you want to replace it?"),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
                continue;
            // Found again, with the window's options as they stand after the question.
            const int existing = ProfileStillThere(title, name);
            if (existing < 0)
                return;
            const QList<int> indexes = CurrentOptionIndexes();
            config.UpdateProfile(existing, indexes.at(0), indexes.at(1), indexes.at(2),
                                 CurrentArguments());
            profileList->setCurrentRow(existing);
            // Replacing the current profile moves no row, so nothing else refreshes the button.
            UpdateAddUpdateButton();
            SaveChanges();
            return;
        }

        LauncherProfile profile;
        profile.name = name;
        profile.optionIndex = CurrentOptionIndexes();
        profile.arguments = CurrentArguments();
        config.AppendProfile(profile);
        profileList->insertItem(profileList->count(), ShownText(name));
        profileList->ApplyFilterTo(profileList->count() - 1);
        profileList->setCurrentRow(config.profiles.size() - 1);
        SaveChanges();
        return;
    }
}

void MainWindow::OnRemoveProfile()
{
    const int row = profileList->currentRow();
    // The first profile is never removed.
    if (row <= 0 || row >= config.profiles.size())
        return;
    const QString name = config.profiles.at(row).name;
    const QString title = tr("Confirm Remove Profile");
    if (ShowMessage(this, QMessageBox::Question, title,
                    tr("Are you sure you want to remove this profile?\n\n") + ShownText(name),
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The list may have changed while the question was open: the profile is found again.
    const int now = ProfileStillThere(title, name);
    if (now <= 0)
        return;
    // Its menu entry, if it has one, goes with it.
    RemoveDesktopEntry(name);
    // The model first: every row change the list reports meets a matching profile list.
    config.RemoveProfile(now);
    delete profileList->takeItem(now);
    profileList->setCurrentRow(0);
    SaveChanges();
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

void MainWindow::AddOption(int section, const QString &name, const QString &value)
{
    config.AppendEntry(section, name, value);
    QComboBox *combo = config.sections.at(section).comboBox;
    combo->addItem(ShownText(name, MaxShownEntryLength));
    combo->setCurrentIndex(config.sections.at(section).entries.size() - 1);
    SaveChanges();
}

void MainWindow::OnAddResolution()
{
    AddDlg dlg(
        this, tr("Add Resolution"),
        {{TextField, tr("Name:")}, {NumberField, tr("Width:")}, {NumberField, tr("Height:")}});
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString name = dlg.fields.at(0).edit->text();
    const QString widthText = dlg.fields.at(1).edit->text();
    const QString heightText = dlg.fields.at(2).edit->text();
    const int width = widthText.toInt(nullptr, 10);
    const int height = heightText.toInt(nullptr, 10);

    if (!ConfirmLargerThanScreen(this, width, height))
        return;

    AddOption(SectionResolution, name,
              QLatin1String(" -windowsize ") + widthText + QLatin1Char('x') + heightText);
}

void MainWindow::OnAddPixelDensity()
{
    AddDlg dlg(this, tr("Add Pixel Density"),
               {{TextField, tr("Name:")}, {NumberField, tr("Pixel Density:")}});
    if (dlg.exec() != QDialog::Accepted)
        return;
    AddOption(SectionPixelDensity, dlg.fields.at(0).edit->text(),
              QLatin1String(" -ppi ") + dlg.fields.at(1).edit->text());
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
    QComboBox *combo = config.sections.at(section).comboBox;
    int cur = combo->currentIndex();
    // Without a current entry (a profile chose a position the list lacks) there is nothing to
    // remove; the first entry is never removed.
    if (cur < 1 || !config.HasEntry(section, cur))
        return;
    // The entry by name and value: the lists may change while the question is open.
    const ConfigEntry entry = config.sections.at(section).entries.at(cur);

    const QStringList users = config.ProfilesUsingOption(section, cur);
    if (!users.isEmpty()) {
        QString text =
            tr("The following profiles use this option, are you sure you want to continue?\n\n");
        for (const QString &name : users.first(qMin<qsizetype>(users.size(), ListedNames)))
            text += ShownText(name) + QLatin1Char('\n');
        if (users.size() > ListedNames)
            text += tr("… and %n more profiles.", nullptr, int(users.size() - ListedNames)) +
                    QLatin1Char('\n');
        const QString noun = SectionLabel(config.sections.at(section).header, true);
        const char *translatable = optionRows[section - 1].noun;
        const QString title =
            tr("Confirm remove %1")
                .arg(noun == QLatin1String(translatable) ? tr(translatable) : noun);
        if (ShowMessage(this, QMessageBox::Warning, title, text,
                        QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        cur = int(config.sections.at(section).entries.indexOf(entry));
        if (cur < 1) {
            ShowMessage(this, QMessageBox::Information, title,
                        tr("\"%1\" is no longer in the list: the configuration file was "
                           "changed outside the launcher meanwhile. Nothing was removed.")
                            .arg(ShownText(entry.name)));
            return;
        }
    }

    const int row = profileList->currentRow();
    const bool selectedUsesIt = row >= 0 && row < config.profiles.size() &&
                                config.profiles.at(row).optionIndex.value(section - 1, -1) == cur;
    config.RemoveOption(section, cur);
    combo->removeItem(cur);
    combo->setCurrentIndex(0);
    // The removal moved the selected profile to the first entry and folded the option into its
    // arguments: show what is stored now, so that Update cannot undo it. A profile that did not
    // use the option keeps what the user has typed.
    if (selectedUsesIt)
        OnProfileChanged(row);
    SaveChanges();
}

SplitCommand MainWindow::CurrentCommand() const
{
    const int row = profileList->currentRow();
    const QString name =
        row >= 0 && row < config.profiles.size() ? config.profiles.at(row).name : QString();
    return EmulatorCommand(GetFilePath(EmulatorFile), config, CurrentOptionIndexes(), name,
                           CurrentArguments());
}

void MainWindow::OnHelp()
{
    const QString page = GetFilePath(HelpFile);
    if (!OpenLocalPage(page)) {
        ShowMessage(this, QMessageBox::Warning, WarningTitle(),
                    tr("The help page %1 could not be opened: no program to show it was "
                       "found.")
                        .arg(ShownPath(page)));
    }
}

void MainWindow::OnLaunch()
{
    if (!profileList->currentItem())
        return;
    const SplitCommand command = CurrentCommand();
    const int row = profileList->currentRow();
    const LaunchResult launched = StartEmulator(command, row >= 0 && row < config.profiles.size()
                                                             ? config.profiles.at(row).name
                                                             : QString());
    if (!launched.started) {
        ShowMessage(this, QMessageBox::Critical, tr("Velmora Mobile Emulator Launcher"),
                    tr("Failed to start Velmora Mobile Emulator!"), QMessageBox::Ok,
                    tr("%1: %2").arg(ShownPath(command.program), launched.error));
        return;
    }
    running->Launched(launched);
}

void MainWindow::RenameProfile(const QString &oldName, const QString &name)
{
    const int row = ProfileStillThere(tr("Rename Profile"), oldName);
    if (row < 0)
        return;
    if (config.FindProfile(name) >= 0) {
        ShowMessage(this, QMessageBox::Warning, tr("Rename Profile"),
                    tr("A profile named \"%1\" already exists.").arg(ShownText(name)));
        return;
    }
    running->RenameRecords(oldName, name);
    RenameDesktopEntry(QCoreApplication::applicationFilePath(), oldName, name);
    config.RenameProfile(row, name);
    profileList->item(row)->setText(ShownText(name));
    profileList->ApplyFilterTo(row);
    UpdateAddUpdateButton();
    SaveChanges();
}

int MainWindow::ProfileStillThere(const QString &title, const QString &name)
{
    const int row = config.FindProfile(name);
    if (row < 0)
        ShowMessage(this, QMessageBox::Information, title,
                    tr("The profile \"%1\" no longer exists: the configuration file was changed "
                       "outside the launcher meanwhile. Nothing was changed.")
                        .arg(ShownText(name)));
    return row;
}

bool MainWindow::AddDeviceProfile(const DeviceSpec &device, bool landscape)
{
    const QString name = DeviceProfileName(device, landscape);
    int existing = config.FindProfile(name);
    if (existing >= 0) {
        const QString title = tr("New Profile from Device");
        if (ShowMessage(this, QMessageBox::Question, title,
                        tr("This profile already exists. Do you want to replace it?"),
                        QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return false;
        existing = ProfileStillThere(title, name);
        if (existing < 0)
            return true;
    }
    const DeviceEntries entries = EnsureDeviceEntries(config, device, landscape);
    if (entries.resolutionAdded)
        config.sections.at(SectionResolution)
            .comboBox->addItem(
                ShownText(config.EntryNames(SectionResolution).last(), MaxShownEntryLength));
    if (entries.densityAdded)
        config.sections.at(SectionPixelDensity)
            .comboBox->addItem(
                ShownText(config.EntryNames(SectionPixelDensity).last(), MaxShownEntryLength));
    int row = existing;
    if (existing >= 0) {
        config.UpdateProfile(existing, entries.resolution, entries.density, 0, QString());
    } else {
        LauncherProfile profile;
        profile.name = name;
        profile.optionIndex = {entries.resolution, entries.density, 0};
        config.AppendProfile(profile);
        profileList->insertItem(profileList->count(), ShownText(name));
        row = int(config.profiles.size()) - 1;
        profileList->ApplyFilterTo(row);
    }
    // Selecting the row shows what it stores; a replaced current profile is shown again.
    if (profileList->currentRow() == row)
        OnProfileChanged(row);
    else
        profileList->setCurrentRow(row);
    SaveChanges();
    return true;
}

void MainWindow::MoveProfile(int from, int to)
{
    if (from <= 0 || to <= 0 || from >= config.profiles.size() || to >= config.profiles.size() ||
        from == to)
        return;
    config.profiles.move(from, to);
    {
        // The same profile stays selected in another place: nothing the widgets show changes,
        // an edit not stored yet included, so the row change is not announced.
        const QSignalBlocker blocker(profileList);
        QListWidgetItem *item = profileList->takeItem(from);
        profileList->insertItem(to, item);
        profileList->setCurrentRow(to);
    }
    SaveChanges();
}

void MainWindow::ImportProfilesFrom(const QString &path, const ImportDecider &decide)
{
    const QString title = tr("Import Profiles");
    const ConfigLoadResult source = LoadConfigFile(path);
    if (source.status != ConfigLoadResult::Loaded) {
        ShowMessage(this, QMessageBox::Warning, title,
                    tr("%1 cannot be imported: %2.")
                        .arg(ShownPath(path),
                             source.status == ConfigLoadResult::Missing ? tr("it does not exist")
                             : source.status == ConfigLoadResult::Unreadable
                                 ? source.reason
                                 : tr("it is no launcher configuration of a version read here")));
        return;
    }
    // Whatever changed on disk first, so that the import goes into the newest file.
    store.FinishSaves();
    if (!store.UserFileUnchanged())
        TakeInOutsideChange();
    LauncherConfig merged = config;
    const ImportReport report = ImportProfiles(merged, source.config, decide);
    const ConfigSaveResult saved = store.Save(merged);
    if (!saved.saved) {
        // Nothing half-imported: the window and the file stay as they were.
        ShowMessage(this, QMessageBox::Warning, title,
                    tr("Nothing was imported: %1 cannot be written: %2.")
                        .arg(ShownPath(store.UserPath()),
                             saved.reason.isEmpty() ? tr("it is left as it is") : saved.reason));
        return;
    }
    const QString first = !report.added.isEmpty() ? report.added.first() : report.replaced.value(0);
    AdoptConfig(std::move(merged));
    savedConfig = config;
    if (!first.isEmpty())
        profileList->setCurrentRow(config.FindProfile(first));
    if (!report.refused.isEmpty()) {
        ShowMessage(this, QMessageBox::Warning, title,
                    tr("These profiles were not imported: a name cannot be empty or hold a "
                       "double quote or a line break.\n\n") +
                        ShownTexts(report.refused).join(QLatin1Char('\n')));
    }
}
