#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct LaunchRecord;

// How much each profile is used: when it was last launched and how often, kept beside the launch
// records ("profile-use.json" in the state folder) so that it outlives their pruning. Written by
// whoever records a launch, under the records' lock.
struct ProfileUse
{
    QDateTime lastLaunched; // invalid: never
    qint64 launchCount = 0;

    bool operator==(const ProfileUse &other) const
    {
        return lastLaunched == other.lastLaunched && launchCount == other.launchCount;
    }
    bool operator!=(const ProfileUse &other) const { return !(*this == other); }
};

QHash<QString, ProfileUse> ReadProfileUse();

// For the records' writers, with the records' lock held.
void NoteProfileUse(const QList<LaunchRecord> &launched);
void RenameProfileUse(const QString &oldName, const QString &newName);

// The orders the profile list can show.
enum class ProfileOrder
{
    Stored,      // the profiles' own order, as in Launcher.ini
    Name,        // by name, as people sort (ignoring case, numbers by value)
    LastLaunch,  // the most recently launched first
    LaunchCount, // the most launched first
};

// The profile rows (of `names`) in `order`. The first profile stays first, as it does in the
// stored order; profiles alike in what is compared (never launched, as often) keep their stored
// order among themselves.
QList<int> OrderedRows(ProfileOrder order, const QStringList &names,
                       const std::function<ProfileUse(const QString &)> &useOf);
