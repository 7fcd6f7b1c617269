#include "configfile.h"

#include "configformat.h"
#include "diagnostics.h"
#include "files_p.h"

#include <algorithm>
#include <atomic>
#include <future>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString ReasonOf(const QFileDevice &file)
{
    if (file.error() == QFileDevice::NoError || file.errorString().isEmpty())
        return QCoreApplication::translate("LauncherFile", "the system gave no reason");
    return file.errorString();
}

// A person who edited the file sees where a line went; a file full of them does not flood the
// log.
void ReportDroppedLines(const QString &path, const QList<DroppedConfigLine> &dropped)
{
    constexpr qsizetype reported = 20;
    const QString shown = QDir::toNativeSeparators(path);
    for (const DroppedConfigLine &line : dropped.first(qMin(dropped.size(), reported))) {
        qCWarning(lcLauncher).noquote()
            << QStringLiteral("%1:%2: line ignored: %3")
                   .arg(shown)
                   .arg(line.line)
                   .arg(line.reason == DroppedConfigLine::BeforeAnyHeader
                            ? QStringLiteral("it comes before any section header")
                            : QStringLiteral("it holds nothing but double quotes"));
    }
    if (dropped.size() > reported) {
        qCWarning(lcLauncher).noquote() << QStringLiteral("%1: %2 more lines ignored")
                                               .arg(shown)
                                               .arg(dropped.size() - reported);
    }
}

} // namespace

// Both threads take the next slice of profiles not yet taken and fill their places in the list,
// which was made to size beforehand: no thread writes where another reads.
struct PendingProfiles::Reading
{
    ScannedConfigText scanned;
    QList<LauncherProfile> profiles;
    LauncherProfile *places = nullptr;
    std::atomic<qsizetype> next{0};
    // Last: its destruction waits for the thread, which uses the members above.
    std::future<void> worker;

    void Work()
    {
        constexpr qsizetype Slice = 512;
        const qsizetype count = profiles.size();
        QString buffer;
        for (qsizetype start = next.fetch_add(Slice); start < count;
             start = next.fetch_add(Slice)) {
            for (qsizetype i = start; i < std::min(count, start + Slice); ++i)
                places[i] = ReadProfile(scanned, i, buffer);
        }
    }
};

bool FileStamp::IsRacy(qint64 nowNs) const
{
    if (!exists)
        return false;
    // Linux stamps files with a clock that moves on every few milliseconds; a file system
    // that keeps whole seconds (FAT keeps two) stamps every write of the same second alike.
    const bool wholeSeconds = modifiedNs % 1000000000 == 0 && changedNs % 1000000000 == 0;
    const qint64 granularity = wholeSeconds ? qint64(2100) * 1000000 : qint64(100) * 1000000;
    return nowNs - qMax(modifiedNs, changedNs) < granularity;
}

QByteArray ContentDigest(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

ConfigLoadResult LoadConfigFile(const QString &path, PendingProfiles *later)
{
    ConfigLoadResult result;
    // Taken first: a write made while the file is read shows in the stamps taken after it.
    result.stamp = StampOfFile(path);
    const QFileInfo info(path);
    if (!info.exists())
        return result;

    const auto unreadable = [&result](const QString &reason) {
        result.status = ConfigLoadResult::Unreadable;
        result.reason = reason;
        return result;
    };
    // Asked before opening: opening a FIFO would block the start, and a device never ends.
    if (!info.isFile())
        return unreadable(QCoreApplication::translate("LauncherFile", "it is not a regular file"));
    if (info.size() > MaxConfigFileSize)
        return unreadable(QCoreApplication::translate("LauncherFile", "it is larger than %1 MiB")
                              .arg(MaxConfigFileSize >> 20));

    QFile file(path);
    // Not in text mode: that would delete every lone CR, which belongs to the line.
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(ReasonOf(file));
    // The file may have grown since it was looked at: one byte more than it had says so, and
    // then the rest is read up to one byte past the limit. A buffer of the file's own size
    // spares a 64 MiB one for the usual file.
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size() && file.error() == QFileDevice::NoError)
        bytes += file.read(MaxConfigFileSize + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return unreadable(ReasonOf(file));
    if (bytes.size() > MaxConfigFileSize)
        return unreadable(QCoreApplication::translate("LauncherFile", "it is larger than %1 MiB")
                              .arg(MaxConfigFileSize >> 20));
    // The file read is the one stamped before, unchanged, and still the one at the path: else
    // someone wrote it meanwhile, and what was read may be half of it.
    const FileStamp opened = StampOfDescriptor(file.handle());
    result.changedWhileRead = opened != result.stamp || StampOfFile(path) != opened;
    file.close();
    result.digest = ContentDigest(bytes);
    result.cutInLine = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    result.complete = !bytes.isEmpty() && !result.cutInLine;
    for (const char *header : {"[Profile]", "[Resolution]", "[PixelDensity]", "[Input]"})
        result.complete = result.complete && bytes.contains(header);

    QList<DroppedConfigLine> dropped;
    std::optional<ScannedConfigText> utf8 = ScanConfigUtf8(bytes, &dropped);
    if (!utf8)
        dropped.clear();
    // The whole text is decoded only for a file in another encoding.
    ScannedConfigText scanned =
        utf8 ? std::move(*utf8) : ScanConfigText(DecodeConfigText(bytes), &dropped);
    bytes = QByteArray();
    result.version = scanned.version;
    // A file of another version (or none) is not read at all: its lines are not ours to judge.
    if (!IsSupportedConfigVersion(result.version)) {
        result.status = ConfigLoadResult::OutOfDate;
        return result;
    }
    ReportDroppedLines(path, dropped);
    result.status = ConfigLoadResult::Loaded;
    result.config = scanned.config;
    // Below this, a thread costs more than it saves.
    constexpr qsizetype LaterFrom = 2000;
    if (!later || scanned.profileNames.size() < LaterFrom) {
        result.config.profiles = ReadProfiles(scanned);
        return result;
    }
    later->names = scanned.profileNames;
    auto reading = std::make_shared<PendingProfiles::Reading>();
    reading->scanned = std::move(scanned);
    reading->profiles.resize(reading->scanned.profileNames.size());
    reading->places = reading->profiles.data();
    reading->worker = std::async(std::launch::async, [r = reading.get()] { r->Work(); });
    later->reading = std::move(reading);
    return result;
}

QList<LauncherProfile> PendingProfiles::Take()
{
    if (!reading)
        return {};
    reading->Work();
    reading->worker.get();
    QList<LauncherProfile> profiles = std::move(reading->profiles);
    reading.reset();
    names.clear();
    return profiles;
}

ConfigMoveResult MoveOutdatedConfig(const QString &path, int version)
{
    ConfigMoveResult result;
    result.path = FreeOutdatedConfigPath(path, version);
    // QFile::rename never replaces an existing file.
    result.moved = QFile::rename(path, result.path);
    return result;
}

ConfigSaveResult SaveConfigFile(const QString &path, const LauncherConfig &config,
                                bool inPlaceIfNeeded, const std::function<bool()> &stillUnchanged,
                                const std::function<void()> &whenComplete)
{
    ConfigSaveResult result;
    ReplacementFile file(path, inPlaceIfNeeded);
    if (!file.Open()) {
        result.reason = file.Reason();
        return result;
    }
    // A file the launcher would refuse to read is never written: every later start would fall
    // back to the default configuration. The file is written a piece at a time as it is
    // formatted.
    qint64 written = 0;
    QCryptographicHash digest(QCryptographicHash::Md5);
    const bool complete = FormatConfigUtf8(config, [&](QByteArrayView piece) {
        written += piece.size();
        if (written > MaxConfigFileSize) {
            result.reason =
                QCoreApplication::translate("LauncherFile", "it would be larger than %1 MiB")
                    .arg(MaxConfigFileSize >> 20);
            return false;
        }
        digest.addData(piece);
        if (file.Write(piece.data(), piece.size()))
            return true;
        result.reason = file.Reason();
        return false;
    });
    if (!complete)
        return result;
    if (whenComplete)
        whenComplete();
    switch (file.Commit(stillUnchanged)) {
    case ReplacementFile::Outcome::Replaced:
        result.saved = true;
        result.stamp = file.Stamp();
        result.digest = digest.result();
        break;
    case ReplacementFile::Outcome::Changed:
        result.changedOnDisk = true;
        break;
    case ReplacementFile::Outcome::Failed:
        result.reason = file.Reason();
        break;
    }
    return result;
}

QString FreeOutdatedConfigPath(const QString &userFilePath, int version)
{
    // "Launcher.ini" loses its "ini", so the path ends in "Launcher.".
    const QString base =
        userFilePath.chopped(qMin<qsizetype>(3, userFilePath.size())) + QString::number(version);
    QString candidate = base + QLatin1String(".ini");
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n) + QLatin1String(".ini");
    return candidate;
}
