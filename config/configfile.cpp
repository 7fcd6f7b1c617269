#include "configfile.h"

#include "configformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString ReasonOf(const QFileDevice &file)
{
    if (file.error() == QFileDevice::NoError || file.errorString().isEmpty())
        return QStringLiteral("the system gave no reason");
    return file.errorString();
}

} // namespace

ConfigLoadResult LoadConfigFile(const QString &path)
{
    ConfigLoadResult result;
    if (!QFileInfo::exists(path))
        return result;

    QFile file(path);
    // Not in text mode: that would delete every lone CR, which belongs to the line.
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ConfigLoadResult::Unreadable;
        result.reason = ReasonOf(file);
        return result;
    }
    const QString text = DecodeConfigText(file.readAll());
    file.close();

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
    const QByteArray bytes = FormatConfigText(config).toUtf8();

    QSaveFile file(path);
    // A write that stops short (a file-size limit, a full disk) reports no error of its own;
    // writing the rest makes the system say why.
    const auto writeAll = [&file, &bytes] {
        for (qsizetype done = 0; done < bytes.size();) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                return false;
            done += n;
        }
        return file.flush();
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        result.reason = ReasonOf(file);
    } else if (!writeAll()) {
        result.reason = ReasonOf(file);
        file.cancelWriting();
    } else if (!file.commit()) {
        result.reason = ReasonOf(file);
    } else {
        result.saved = true;
    }
    return result;
}
