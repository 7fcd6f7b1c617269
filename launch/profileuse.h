#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

struct LaunchRecord;

// How much each profile is used: when it was last launched and how often, kept beside the launch
// records ("profile-use.json" in the state folder) so that it outlives their pruning. Written by
// whoever records a launch, under the records' lock.
struct ProfileUse
{
    QDateTime lastLaunched; // invalid: never
    qint64 launchCount = 0;
};

QHash<QString, ProfileUse> ReadProfileUse();

// For the records' writers, with the records' lock held.
void NoteProfileUse(const QList<LaunchRecord> &launched);
void RenameProfileUse(const QString &oldName, const QString &newName);
