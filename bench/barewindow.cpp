// The floor: a bare form with the launcher's own widgets (its list and option box classes,
// which lay out thousands of names quickly), filled with the names from the same file the
// launcher reads, taken by the launcher's own scanner (the quickest way it knows to find them),
// and no logic beyond that: the ratio measures only what the launcher does besides. It shows
// itself and closes as the launcher does in bench_launcher.
#include "configformat.h"
#include "firstpaint.h"
#include "optioncombobox.h"
#include "profileqlistwidget.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
// The names of each section, in the order the file has them.
QMap<QString, QStringList> ReadNames()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/Velmora/VelmoraMobileEmulator/Launcher.ini");
    if (!QFile::exists(path))
        path = QCoreApplication::applicationDirPath() + QStringLiteral("/LauncherDefault.ini");
    QFile file(path);
    QMap<QString, QStringList> names;
    if (!file.open(QIODevice::ReadOnly))
        return names;
    const QByteArray bytes = file.readAll();
    std::optional<ScannedConfigText> scanned = ScanConfigUtf8(bytes);
    if (!scanned)
        scanned = ScanConfigText(DecodeConfigText(bytes));
    names.insert(QStringLiteral("[Profile]"), scanned->profileNames);
    for (int s = 1; s < SectionCount; ++s)
        names.insert(scanned->config.sections.at(s).header, scanned->config.EntryNames(s));
    return names;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QMap<QString, QStringList> names = ReadNames();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare form"));
    auto *central = new QWidget(&window);
    window.setCentralWidget(central);
    auto *mainLayout = new QVBoxLayout(central);
    auto *group = new QGroupBox(QStringLiteral("Profile"));
    auto *groupLayout = new QHBoxLayout(group);
    auto *grid = new QGridLayout;
    groupLayout->addLayout(grid);
    grid->addWidget(new QLineEdit, 0, 0, 1, -1);
    auto *list = new ProfileQListWidget;
    list->addItems(names.value(QStringLiteral("[Profile]")));
    list->setCurrentRow(0);
    grid->addWidget(list, 1, 0, 1, -1);
    grid->addWidget(new QPushButton(QStringLiteral("Add")), 2, 0);
    grid->addWidget(new QPushButton(QStringLiteral("Remove")), 2, 1);
    auto *form = new QFormLayout;
    for (const char *section : {"Resolution", "PixelDensity", "Input"}) {
        auto *rowGrid = new QGridLayout;
        auto *combo = new OptionComboBox;
        combo->addItems(names.value(QStringLiteral("[%1]").arg(QLatin1String(section))));
        rowGrid->addWidget(combo, 0, 0, 1, -1);
        rowGrid->addWidget(new QPushButton(QStringLiteral("Add")), 1, 0);
        rowGrid->addWidget(new QPushButton(QStringLiteral("Remove")), 1, 1);
        form->addRow(QLatin1String(section), rowGrid);
    }
    form->addRow(QStringLiteral("&Arguments"), new QLineEdit);
    groupLayout->addSpacing(10);
    groupLayout->addLayout(form);
    mainLayout->addWidget(group);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(new QPushButton(QStringLiteral("&Help")), QDialogButtonBox::HelpRole);
    buttons->addButton(new QPushButton(QStringLiteral("&Launch")), QDialogButtonBox::AcceptRole);
    mainLayout->addWidget(buttons);
    ReportFirstPaintAndClose(&window);
    window.show();
    return app.exec();
}
