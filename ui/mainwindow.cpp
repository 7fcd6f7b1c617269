#include "mainwindow.h"

#include "adddlg.h"
#include "commandline.h"
#include "configfile.h"
#include "configformat.h"
#include "diagnostics.h"
#include "emulatorlaunch.h"
#include "filelocations.h"
#include "linebreakvalidator.h"
#include "optioncombobox.h"
#include "profileqlistwidget.h"
#include "tooltipprovider.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdlib>
#include <limits>

namespace {

const QString warningTitle = QStringLiteral("Velmora Mobile Emulator Launcher Warning");
const QString addProfileTitle = QStringLiteral("Add Profile");

} // namespace

// The three option rows, top to bottom. Widgets are created, and slots connected, in this
// order; a row without "Add" and "Remove" buttons has no add slot.
struct MainWindow::OptionRow
{
    int section;
    const char *name; // object names: "<name>Box", "add<Name>Button", "remove<Name>Button"
    void (MainWindow::*onIndexChanged)(int);
    void (MainWindow::*onChanged)();
    void (MainWindow::*onAdd)();
    void (MainWindow::*onRemove)();
    QPushButton *MainWindow::*removeButton;
};

const MainWindow::OptionRow MainWindow::optionRows[OptionSectionCount] = {
    {SectionResolution, "Resolution", &MainWindow::OnResolution, nullptr,
     &MainWindow::OnAddResolution, &MainWindow::OnRemoveResolution,
     &MainWindow::removeResolutionButton},
    {SectionPixelDensity, "PixelDensity", &MainWindow::OnPixelDensity, nullptr,
     &MainWindow::OnAddPixelDensity, &MainWindow::OnRemovePixelDensity,
     &MainWindow::removePixelDensityButton},
    {SectionInput, "Input", nullptr, &MainWindow::OnInput, nullptr, nullptr, nullptr},
};

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Velmora Mobile Emulator"));

    if (!ReadConfig(GetFilePath(UserConfigFile), true) &&
        !ReadConfig(GetFilePath(DefaultConfigFile), false)) {
        QMessageBox box;
        box.setWindowTitle(QStringLiteral("Velmora Mobile Emulator"));
        box.setIcon(QMessageBox::Critical);
        box.setText(QStringLiteral("Unable to start Velmora Mobile Emulator Launcher"));
        box.setInformativeText(QStringLiteral("Unable to read configuration file."));
        box.exec();
        // Nothing was loaded, so nothing may be written over the user's file either.
        std::exit(1);
    }

    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto *mainLayout = new QVBoxLayout;
    mainLayout->addWidget(BuildProfileGroup());
    mainLayout->addWidget(BuildButtonBox());
    central->setLayout(mainLayout);
}

QGroupBox *MainWindow::BuildProfileGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Profile"));
    auto *groupLayout = new QHBoxLayout;
    group->setLayout(groupLayout);

    auto *profileGrid = new QGridLayout;
    groupLayout->addLayout(profileGrid);
    profileList = new ProfileQListWidget;
    profileList->setObjectName(QStringLiteral("profileList"));
    profileList->addItems(config.ProfileNames());
    // Row 0 is selected before the signal is connected, so filling the list runs no slot.
    profileList->setCurrentRow(0);
    connect(profileList, &QListWidget::currentRowChanged, this, &MainWindow::OnProfileChanged);
    profileGrid->addWidget(profileList, 0, 0, 1, -1);

    addUpdateButton = new QPushButton(QStringLiteral("Add"));
    addUpdateButton->setObjectName(QStringLiteral("addUpdateButton"));
    connect(addUpdateButton, &QPushButton::clicked, this, &MainWindow::OnAddUpdateProfile);
    profileGrid->addWidget(addUpdateButton, 1, 0);
    removeProfileButton = new QPushButton(QStringLiteral("Remove"));
    removeProfileButton->setObjectName(QStringLiteral("removeProfileButton"));
    connect(removeProfileButton, &QPushButton::clicked, this, &MainWindow::OnRemoveProfile);
    profileGrid->addWidget(removeProfileButton, 1, 1);

    auto *form = new QFormLayout;
    for (const OptionRow &row : optionRows)
        form->addRow(SectionLabel(config.sections.at(row.section).header, false),
                     BuildOptionRow(row));

    argumentsEdit = new QLineEdit;
    argumentsEdit->setObjectName(QStringLiteral("argumentsEdit"));
    // What is stored is what is shown, launched and saved, however long; a pasted line break
    // becomes a blank, as on a terminal's command line.
    argumentsEdit->setMaxLength(std::numeric_limits<int>::max());
    argumentsEdit->setValidator(new LineBreakValidator(argumentsEdit));
    connect(argumentsEdit, &QLineEdit::textChanged, this, &MainWindow::OnTextCtrlEdit);
    form->addRow(QStringLiteral("&Arguments"), argumentsEdit);

    groupLayout->addSpacing(10);
    groupLayout->addLayout(form);

    OnProfileChanged(0);
    OnResolution(0);
    OnPixelDensity(0);
    return group;
}

QGridLayout *MainWindow::BuildOptionRow(const OptionRow &row)
{
    const QString name = QLatin1String(row.name);
    auto *rowGrid = new QGridLayout;
    auto *combo = new OptionComboBox;
    combo->setObjectName(name.at(0).toLower() + name.mid(1) + QLatin1String("Box"));
    config.sections[row.section].comboBox = combo;
    combo->insertItems(0, config.EntryNames(row.section));
    rowGrid->addWidget(combo, 0, 0, 1, -1);

    if (row.onIndexChanged)
        connect(combo, &QComboBox::currentIndexChanged, this, row.onIndexChanged);
    else
        connect(combo, &QComboBox::currentIndexChanged, this, row.onChanged);
    if (row.onAdd) {
        auto *add = new QPushButton(QStringLiteral("Add"));
        add->setObjectName(QLatin1String("add") + name + QLatin1String("Button"));
        connect(add, &QPushButton::clicked, this, row.onAdd);
        rowGrid->addWidget(add, 1, 0);
        auto *remove = new QPushButton(QStringLiteral("Remove"));
        remove->setObjectName(QLatin1String("remove") + name + QLatin1String("Button"));
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
    auto *helpButton = new QPushButton(QStringLiteral("&Help"));
    helpButton->setObjectName(QStringLiteral("helpButton"));
    connect(helpButton, &QPushButton::clicked, this, &MainWindow::OnHelp);
    auto *launchButton = new QPushButton(QStringLiteral("&Launch"));
    launchButton->setObjectName(QStringLiteral("launchButton"));
    connect(launchButton, &QPushButton::clicked, this, &MainWindow::OnLaunch);
    // The command is composed when the tooltip is asked for, never while the user edits.
    new ToolTipProvider(launchButton, [this] { return DescribeCommand(CurrentCommand()); });
    auto *buttonBox = new QDialogButtonBox;
    buttonBox->addButton(helpButton, QDialogButtonBox::HelpRole);
    buttonBox->addButton(launchButton, QDialogButtonBox::AcceptRole);
    return buttonBox;
}

MainWindow::~MainWindow()
{
    WriteConfig();
}

bool MainWindow::ReadConfig(const QString &path, bool isUserFile)
{
    ConfigLoadResult loaded = LoadConfigFile(path);
    switch (loaded.status) {
    case ConfigLoadResult::Missing:
        return false;
    case ConfigLoadResult::Unreadable:
        if (isUserFile) {
            // Whatever is there may be all the user's profiles: it is never written over.
            keepUserFile = true;
            QMessageBox::warning(
                this, warningTitle,
                QStringLiteral("Your Launcher.ini configuration file %1 cannot be read: %2.\n\n"
                               "The launcher starts with its default configuration and leaves "
                               "your file as it is: nothing is saved to it while the launcher "
                               "runs.")
                    .arg(QDir::toNativeSeparators(path), loaded.reason));
        }
        return false;
    case ConfigLoadResult::Loaded:
        config = std::move(loaded.config);
        return true;
    case ConfigLoadResult::OutOfDate:
        break;
    }

    if (isUserFile) {
        bool renamed = false;
        const QString newPath = RenameOutdatedConfig(loaded.version, &renamed);
        const QString message =
            renamed ? QStringLiteral("Your Launcher.ini configuration file is out of date and "
                                     "will not be used. It has been renamed to %1 to make "
                                     "place for a new configuration file.")
                    : QStringLiteral("Your Launcher.ini configuration file is out of date and "
                                     "will not be used. It could not be renamed to %1 and "
                                     "will be replaced when the launcher closes.");
        QMessageBox::warning(this, warningTitle, message.arg(newPath));
        return false;
    }
    QMessageBox::warning(this, warningTitle, QStringLiteral("Config file is out of date"));
    // The default file's contents are not used: the sections hold only their "Default" entries.
    config = LauncherConfig();
    ParseConfigText(QStringView(), config);
    return true;
}

QString MainWindow::RenameOutdatedConfig(int version, bool *renamed)
{
    const ConfigMoveResult move = MoveOutdatedConfig(GetFilePath(UserConfigFile), version);
    if (renamed)
        *renamed = move.moved;
    return move.path;
}

bool MainWindow::WriteConfig()
{
    return Save().saved;
}

ConfigSaveResult MainWindow::Save()
{
    if (config.sections.size() < SectionCount || keepUserFile)
        return {};
    const QString path = GetFilePath(UserConfigFile);
    const ConfigSaveResult result = SaveConfigFile(path, config);
    if (!result.saved) {
        qCWarning(lcLauncher).noquote() << QStringLiteral("cannot write %1: %2")
                                               .arg(QDir::toNativeSeparators(path), result.reason);
    }
    return result;
}

void MainWindow::SaveChanges()
{
    if (keepUserFile)
        return;
    const ConfigSaveResult result = Save();
    if (result.saved) {
        saveFailureShown = false;
        return;
    }
    // Once until a save succeeds again: every change of a session on a full disk would
    // otherwise ask to be clicked away.
    if (saveFailureShown)
        return;
    saveFailureShown = true;
    QMessageBox::warning(
        this, warningTitle,
        QStringLiteral("Your changes are not being saved: %1 cannot be written: %2.\n\n"
                       "The launcher tries again with every change and when it closes.")
            .arg(QDir::toNativeSeparators(GetFilePath(UserConfigFile)), result.reason));
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

QString MainWindow::CurrentValueText() const
{
    return OptionValueText(config.sections, CurrentOptionIndexes(), argumentsEdit->text());
}

void MainWindow::UpdateAddUpdateButton()
{
    const int row = profileList->currentRow();
    addUpdateButton->setText(row == 0 ? QStringLiteral("Add") : QStringLiteral("Update"));
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
    argumentsEdit->setText(profile.arguments);
    removeProfileButton->setEnabled(index != 0);
    UpdateAddUpdateButton();
}

void MainWindow::OnAddUpdateProfile()
{
    const int row = profileList->currentRow();
    if (row < 0 || row >= config.profiles.size())
        return;
    if (row == 0) {
        StoreWindowAsNewProfile(addProfileTitle,
                                QStringLiteral("Enter the name for the new profile"), QString());
        return;
    }
    const QList<int> indexes = CurrentOptionIndexes();
    config.UpdateProfile(row, indexes.at(0), indexes.at(1), indexes.at(2), argumentsEdit->text());
    UpdateAddUpdateButton();
    SaveChanges();
}

QString MainWindow::AskProfileName(const QString &title, const QString &label, QString text)
{
    // A name that cannot be stored asks again, with what the user typed.
    for (;;) {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, title, label, QLineEdit::Normal, text, &ok);
        if (!ok || name.isEmpty())
            return QString();
        QString problem;
        // Either would end the name early in Launcher.ini or on the command line.
        if (name.contains(QLatin1Char('"')))
            problem = QStringLiteral("A profile name cannot contain a double quote.");
        else if (ContainsLineBreak(name))
            problem = QStringLiteral("A profile name cannot contain a line break.");
        if (problem.isEmpty())
            return name;
        QMessageBox::warning(this, title, problem);
        text = name;
    }
}

void MainWindow::StoreWindowAsNewProfile(const QString &title, const QString &label,
                                         const QString &suggestion)
{
    // Declining to replace an existing profile asks for another name.
    for (;;) {
        const QString name = AskProfileName(title, label, suggestion);
        if (name.isEmpty())
            return;
        const QList<int> indexes = CurrentOptionIndexes();
        const int existing = config.FindProfile(name);
        if (existing >= 0) {
            if (QMessageBox::question(
                    this, title,
                    QStringLiteral("This profile already exists. Do you want to replace it?"),
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
                continue;
            config.UpdateProfile(existing, indexes.at(0), indexes.at(1), indexes.at(2),
                                 argumentsEdit->text());
            profileList->setCurrentRow(existing);
            // Replacing the current profile moves no row, so nothing else refreshes the button.
            UpdateAddUpdateButton();
            SaveChanges();
            return;
        }

        LauncherProfile profile;
        profile.name = name;
        profile.optionIndex = indexes;
        profile.arguments = argumentsEdit->text();
        config.AppendProfile(profile);
        profileList->insertItem(profileList->count(), name);
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
    if (QMessageBox::question(this, QStringLiteral("Confirm Remove Profile"),
                              QStringLiteral("Are you sure you want to remove this profile?\n\n") +
                                  config.profiles.at(row).name,
                              QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The model first: every row change the list reports meets a matching profile list.
    config.RemoveProfile(row);
    delete profileList->takeItem(row);
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
    combo->addItem(name);
    combo->setCurrentIndex(config.sections.at(section).entries.size() - 1);
    SaveChanges();
}

void MainWindow::OnAddResolution()
{
    AddDlg dlg(this, QStringLiteral("Add Resolution"),
               {{TextField, QStringLiteral("Name:")},
                {NumberField, QStringLiteral("Width:")},
                {NumberField, QStringLiteral("Height:")}});
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString name = dlg.fields.at(0).edit->text();
    const QString widthText = dlg.fields.at(1).edit->text();
    const QString heightText = dlg.fields.at(2).edit->text();
    const int width = widthText.toInt(nullptr, 10);
    const int height = heightText.toInt(nullptr, 10);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->geometry();
        if (width > geometry.width() || height > geometry.height()) {
            QMessageBox box(this);
            box.setIcon(QMessageBox::Warning);
            box.setWindowTitle(QStringLiteral("Resolution bigger than the current screen size!"));
            box.setText(QStringLiteral("You are trying to add: %1x%2\nbut the current screen "
                                       "resolution is: %3x%4\n\nAre you sure ?")
                            .arg(width)
                            .arg(height)
                            .arg(geometry.width())
                            .arg(geometry.height()));
            QPushButton *yes = box.addButton(QStringLiteral("Yes"), QMessageBox::AcceptRole);
            box.addButton(QStringLiteral("No"), QMessageBox::RejectRole);
            box.exec();
            if (box.clickedButton() != yes)
                return;
        }
    }

    AddOption(SectionResolution, name,
              QLatin1String(" -windowsize ") + widthText + QLatin1Char('x') + heightText);
}

void MainWindow::OnAddPixelDensity()
{
    AddDlg dlg(
        this, QStringLiteral("Add Pixel Density"),
        {{TextField, QStringLiteral("Name:")}, {NumberField, QStringLiteral("Pixel Density:")}});
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
    const int cur = combo->currentIndex();
    // Without a current entry (a profile chose a position the list lacks) there is nothing to
    // remove; the first entry is never removed.
    if (cur < 1 || !config.HasEntry(section, cur))
        return;

    const QStringList users = config.ProfilesUsingOption(section, cur);
    if (!users.isEmpty()) {
        QString text = QStringLiteral(
            "The following profiles use this option, are you sure you want to continue?\n\n");
        for (const QString &name : users)
            text += name + QLatin1Char('\n');
        const QString title = QStringLiteral("Confirm remove ") +
                              SectionLabel(config.sections.at(section).header, true);
        if (QMessageBox::warning(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::NoButton) != QMessageBox::Yes)
            return;
    }

    config.RemoveOption(section, cur);
    combo->removeItem(cur);
    combo->setCurrentIndex(0);
    // The removal may have moved the selected profile to the first entry and folded the
    // option into its arguments: show what is stored now, so that Update cannot undo it.
    OnProfileChanged(profileList->currentRow());
    SaveChanges();
}

SplitCommand MainWindow::CurrentCommand() const
{
    const QListWidgetItem *item = profileList->currentItem();
    return EmulatorCommand(GetFilePath(EmulatorFile), config, CurrentOptionIndexes(),
                           item ? item->text() : QString(), argumentsEdit->text());
}

void MainWindow::OnHelp()
{
    OpenLocalPage(GetFilePath(HelpFile));
}

void MainWindow::OnLaunch()
{
    if (!profileList->currentItem())
        return;
    if (!StartDetached(CurrentCommand())) {
        QMessageBox::critical(this, QStringLiteral("Velmora Mobile Emulator Launcher"),
                              QStringLiteral("Failed to start Velmora Mobile Emulator!"),
                              QMessageBox::Ok, QMessageBox::NoButton);
    }
}
