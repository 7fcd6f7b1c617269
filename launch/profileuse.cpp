#include "profileuse.h"

#include "filelocations.h"
#include "launchrecords.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QString UsePath()
{
    return StateDirectory() + QStringLiteral("/profile-use.json");
}

void WriteUse(const QHash<QString, ProfileUse> &use)
{
    QJsonObject profiles;
    for (auto it = use.cbegin(); it != use.cend(); ++it) {
        profiles.insert(it.key(),
                        QJsonObject{{QStringLiteral("lastLaunched"),
                                     it->lastLaunched.toUTC().toString(Qt::ISODateWithMs)},
                                    {QStringLiteral("launchCount"), double(it->launchCount)}});
    }
    QSaveFile out(UsePath());
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QJsonDocument(QJsonObject{{QStringLiteral("version"), 1},
                                            {QStringLiteral("profiles"), profiles}})
                      .toJson(QJsonDocument::Compact));
        out.commit();
    }
}

} // namespace

QHash<QString, ProfileUse> ReadProfileUse()
{
    QHash<QString, ProfileUse> use;
    QFile in(UsePath());
    // Written by the launcher only, a few dozen bytes per profile.
    if (!in.open(QIODevice::ReadOnly) || in.size() > (qint64(64) << 20))
        return use;
    const QJsonObject profiles =
        QJsonDocument::fromJson(in.readAll()).object().value(QStringLiteral("profiles")).toObject();
    for (auto it = profiles.constBegin(); it != profiles.constEnd(); ++it) {
        const QJsonObject object = it.value().toObject();
        ProfileUse profile;
        profile.lastLaunched = QDateTime::fromString(
            object.value(QStringLiteral("lastLaunched")).toString(), Qt::ISODateWithMs);
        profile.launchCount =
            qMax<qint64>(0, qint64(object.value(QStringLiteral("launchCount")).toDouble()));
        use.insert(it.key(), profile);
    }
    return use;
}

void NoteProfileUse(const QList<LaunchRecord> &launched)
{
    if (launched.isEmpty())
        return;
    QHash<QString, ProfileUse> use = ReadProfileUse();
    for (const LaunchRecord &record : launched) {
        ProfileUse &profile = use[record.profile];
        if (!profile.lastLaunched.isValid() || profile.lastLaunched < record.started)
            profile.lastLaunched = record.started;
        ++profile.launchCount;
    }
    WriteUse(use);
}

void RenameProfileUse(const QString &oldName, const QString &newName)
{
    QHash<QString, ProfileUse> use = ReadProfileUse();
    if (!use.contains(oldName))
        return;
    use.insert(newName, use.take(oldName));
    WriteUse(use);
}
