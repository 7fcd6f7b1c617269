#include "mainwindow.h"

#include "documentview.h"
#include "linebreakvalidator.h"
#include "optioncombobox.h"
#include "profileqlistwidget.h"
#include "runningcountdelegate.h"
#include "tooltipprovider.h"
#include "windowbuttonbox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

// How the window is built: the profile group with its list, the option rows and the arguments
// line, and the Help and Launch buttons. What the controls do is in mainwindow.cpp.

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

const char *MainWindow::RowNoun(int section)
{
    return optionRows[section - 1].noun;
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
    connect(profileList, &ProfileQListWidget::currentProfileRowChanged, this,
            &MainWindow::OnProfileChanged);
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
