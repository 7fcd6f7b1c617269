#include "devicedialog.h"

#include "mnemonics.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

DeviceDialog::DeviceDialog(QWidget *parent, const QList<DeviceSpec> &all, QSize screenSize)
    : QDialog(parent), devices(all), screen(screenSize)
{
    setWindowTitle(tr("New Profile from Device"));
    auto *layout = new QVBoxLayout;
    filterEdit = new QLineEdit;
    filterEdit->setObjectName(QStringLiteral("deviceFilter"));
    filterEdit->setPlaceholderText(tr("Type to filter the devices by name"));
    filterEdit->setAccessibleName(tr("Filter devices"));
    filterEdit->setClearButtonEnabled(true);
    auto *filterLabel = new QLabel(tr("&Filter:"));
    filterLabel->setBuddy(filterEdit);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filterEdit);
    layout->addLayout(filterRow);

    deviceList = new QListWidget;
    deviceList->setObjectName(QStringLiteral("deviceList"));
    deviceList->setAccessibleName(tr("Devices"));
    for (int i = 0; i < devices.size(); ++i)
        deviceList->addItem(QString());
    layout->addWidget(deviceList, 1);

    portraitButton = new QRadioButton(tr("&Portrait"));
    landscapeButton = new QRadioButton(tr("L&andscape"));
    portraitButton->setChecked(true);
    auto *orientation = new QHBoxLayout;
    orientation->addWidget(portraitButton);
    orientation->addWidget(landscapeButton);
    orientation->addStretch();
    layout->addLayout(orientation);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    setLayout(layout);
    CompleteMnemonics(this);

    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(filterEdit, &QLineEdit::textChanged, this, &DeviceDialog::OnFilter);
    connect(deviceList, &QListWidget::currentRowChanged, this,
            [this, ok](int row) { ok->setEnabled(row >= 0 && !deviceList->isRowHidden(row)); });
    connect(deviceList, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(landscapeButton, &QRadioButton::toggled, this, &DeviceDialog::UpdateRows);
    UpdateRows();
    // Wide enough for a whole row: a device's numbers cut off behind a scroll bar say nothing.
    deviceList->setMinimumWidth(deviceList->sizeHintForColumn(0) + 2 * deviceList->frameWidth() +
                                deviceList->verticalScrollBar()->sizeHint().width());
    filterEdit->setFocus();
}

int DeviceDialog::SelectedDevice() const
{
    const int row = deviceList->currentRow();
    return row >= 0 && !deviceList->isRowHidden(row) ? row : -1;
}

bool DeviceDialog::Landscape() const
{
    return landscapeButton->isChecked();
}

void DeviceDialog::OnFilter(const QString &text)
{
    int firstShown = -1;
    for (int i = 0; i < devices.size(); ++i) {
        const bool shown = devices.at(i).name.contains(text, Qt::CaseInsensitive);
        deviceList->setRowHidden(i, !shown);
        if (shown && firstShown < 0)
            firstShown = i;
    }
    // The first match is picked, so that Enter takes it; nothing is picked when none matches.
    const int current = deviceList->currentRow();
    if (current < 0 || deviceList->isRowHidden(current))
        deviceList->setCurrentRow(firstShown);
}

void DeviceDialog::UpdateRows()
{
    const bool landscape = Landscape();
    for (int i = 0; i < devices.size(); ++i) {
        const DeviceSpec &device = devices.at(i);
        const int width = landscape ? device.height : device.width;
        const int height = landscape ? device.width : device.height;
        QString text =
            tr("%1 — %2×%3, %4 dpi").arg(device.name).arg(width).arg(height).arg(device.density);
        if (screen.isValid() && (width > screen.width() || height > screen.height()))
            text += tr(" (larger than the screen)");
        deviceList->item(i)->setText(text);
    }
}
