#include "devicecatalogue.h"

#include <QFile>

namespace {

bool ParsePositive(QStringView text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok, 10);
    return ok && *value > 0;
}

int FindEntryByValue(const LauncherConfig &config, int section, const QString &value)
{
    const QList<ConfigEntry> &entries = config.sections.at(section).entries;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).value == value)
            return i;
    }
    return -1;
}

} // namespace

QList<DeviceSpec> ParseDeviceCatalogue(QStringView text, QList<qsizetype> *skipped)
{
    QList<DeviceSpec> devices;
    qsizetype number = 0;
    for (QStringView line : text.split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        DeviceSpec device;
        if (fields.size() == 4 && !fields.at(0).trimmed().isEmpty() &&
            !fields.at(0).contains(u'"') && ParsePositive(fields.at(1), &device.width) &&
            ParsePositive(fields.at(2), &device.height) &&
            ParsePositive(fields.at(3), &device.density)) {
            device.name = fields.at(0).toString();
            devices.append(device);
        } else if (skipped) {
            skipped->append(number);
        }
    }
    return devices;
}

QList<DeviceSpec> DeviceCatalogue()
{
    QFile file(QStringLiteral(":/data/devices.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseDeviceCatalogue(QString::fromUtf8(file.readAll()));
}

DeviceEntries EnsureDeviceEntries(LauncherConfig &config, const DeviceSpec &device, bool landscape)
{
    const int width = landscape ? device.height : device.width;
    const int height = landscape ? device.width : device.height;
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    DeviceEntries entries;
    const QString windowSize = QLatin1String(" -windowsize ") + size;
    entries.resolution = FindEntryByValue(config, SectionResolution, windowSize);
    if (entries.resolution < 0) {
        config.AppendEntry(SectionResolution,
                           QStringLiteral("%1 (%2)").arg(DeviceProfileName(device, false), size),
                           windowSize);
        entries.resolution = int(config.sections.at(SectionResolution).entries.size()) - 1;
        entries.resolutionAdded = true;
    }
    const QString ppi = QLatin1String(" -ppi ") + QString::number(device.density);
    entries.density = FindEntryByValue(config, SectionPixelDensity, ppi);
    if (entries.density < 0) {
        config.AppendEntry(SectionPixelDensity, QStringLiteral("%1 dpi").arg(device.density), ppi);
        entries.density = int(config.sections.at(SectionPixelDensity).entries.size()) - 1;
        entries.densityAdded = true;
    }
    return entries;
}

QString DeviceProfileName(const DeviceSpec &device, bool landscape)
{
    return landscape ? device.name + QLatin1String(" landscape") : device.name;
}
