#pragma once

#include "launcherconfig.h"

#include <QList>
#include <QString>
#include <QStringView>

// A phone or tablet of the catalogue the launcher ships (data/devices.tsv): its screen in
// portrait, in physical pixels, and its density (160 for each device pixel per CSS pixel, as the
// launcher's own "mdpi (160)" entries count).
struct DeviceSpec
{
    QString name;
    int width = 0;
    int height = 0;
    int density = 0;

    bool operator==(const DeviceSpec &other) const
    {
        return name == other.name && width == other.width && height == other.height &&
               density == other.density;
    }
};

// Reads the catalogue's text: one device a line, its name, width, height and density separated
// by TABs; lines starting with "#" and empty lines are skipped, and so is a line that is not a
// device (`skipped` gets its number, counted from 1).
QList<DeviceSpec> ParseDeviceCatalogue(QStringView text, QList<qsizetype> *skipped = nullptr);

// The catalogue the launcher was built with.
QList<DeviceSpec> DeviceCatalogue();

// Where a profile for a device finds its options: the Resolution entry whose value is
// " -windowsize WxH" (landscape swaps the two) and the Pixel Density entry " -ppi N", each
// appended when no entry has that value ("<device> (WxH)", "N dpi").
struct DeviceEntries
{
    int resolution = -1;
    int density = -1;
    bool resolutionAdded = false;
    bool densityAdded = false;
};
DeviceEntries EnsureDeviceEntries(LauncherConfig &config, const DeviceSpec &device, bool landscape);

// The name a profile for the device gets: its own, with " landscape" for landscape.
QString DeviceProfileName(const DeviceSpec &device, bool landscape);
