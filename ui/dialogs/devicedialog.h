#pragma once

#include "devicecatalogue.h"

#include <QDialog>
#include <QSize>

class QLineEdit;
class QListWidget;
class QRadioButton;

// Picks a phone or tablet of the catalogue: a filter field, the devices with their size and
// density (those larger than the screen marked), Portrait or Landscape, OK and Cancel.
class DeviceDialog : public QDialog
{
    Q_OBJECT

public:
    DeviceDialog(QWidget *parent, const QList<DeviceSpec> &devices, QSize screen);

    // The device chosen, or -1; its position in the list given to the constructor.
    int SelectedDevice() const;
    bool Landscape() const;

    QLineEdit *filterEdit = nullptr;
    QListWidget *deviceList = nullptr;
    QRadioButton *portraitButton = nullptr;
    QRadioButton *landscapeButton = nullptr;

private:
    void OnFilter(const QString &text);
    // The rows' texts, whose marks depend on the orientation.
    void UpdateRows();

    QList<DeviceSpec> devices;
    QSize screen;
};
