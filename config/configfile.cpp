#include "configfile.h"

#include "configformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString ReasonOf(const QFileDevice &file)
{
    if (file.error() == QFileDevice::NoError || file.errorString().isEmpty())
        return QCoreApplication::translate("LauncherFile", "the system gave no reason");
    return file.errorString();
}

} // namespace

ConfigLoadResult LoadConfigFile(const QString &path)
{
    ConfigLoadResult result;
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
    // The file may have grown since it was looked at: read one byte past the limit to know.
    const QByteArray bytes = file.read(MaxConfigFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(ReasonOf(file));
    if (bytes.size() > MaxConfigFileSize)
        return unreadable(QCoreApplication::translate("LauncherFile", "it is larger than %1 MiB")
                              .arg(MaxConfigFileSize >> 20));
    file.close();
    const QString text = DecodeConfigText(bytes);

    result.version = ParseConfigText(text, result.config);
    if (!IsSupportedConfigVersion(result.version)) {
        result.status = ConfigLoadResult::OutOfDate;
        result.config = LauncherConfig();
        return result;
    }
    result.status = ConfigLoadResult::Loaded;
    return result;
}

ConfigMoveResult MoveOutdatedConfig(const QString &path, int version)
{
    ConfigMoveResult result;
    result.path = FreeOutdatedConfigPath(path, version);
    // QFile::rename never replaces an existing file.
    result.moved = QFile::rename(path, result.path);
    return result;
}

ConfigSaveResult SaveConfigFile(const QString &path, const LauncherConfig &config)
{
    ConfigSaveResult result;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = FormatConfigUtf8(config);

    // Unbuffered, so that a failing write reports the system's reason at once. A write that
    // stops short (a file-size limit, a full disk) reports nothing of its own; writing the rest
    // makes the system say why.
    const auto write = [&bytes, &result](QFileDevice &file) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)) {
            result.reason = ReasonOf(file);
            return false;
        }
        for (qsizetype done = 0; done < bytes.size();) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0) {
                result.reason = ReasonOf(file);
                return false;
            }
            done += n;
        }
        return true;
    };

    // The old file stays whole until the new one is complete. Only when the directory refuses
    // the temporary file (EACCES) and Launcher.ini itself can be written is it written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!write(file)) {
        file.cancelWriting();
    } else if (!file.commit()) {
        result.reason = ReasonOf(file);
    } else {
        result.saved = true;
    }
    return result;
}
