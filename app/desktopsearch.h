#pragma once

#include "launcherconfig.h"
#include "profileextras.h"
#include "profileuse.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What the desktop's search (GNOME Shell, KRunner) finds among the profiles.
struct SearchHit
{
    QString profile;     // also the result's identifier
    QString description; // the options and tags, for the line under the result
    bool byName = false; // every term is in the name
};

// The line under a profile's result: the names of the options it chose and its tags.
QString SearchDescription(const LauncherConfig &config, const LauncherProfile &profile,
                          const ProfileExtras &extras);

// The profiles that meet every term (ignoring case) by their name, a tag, a note, or the name
// or fragment of an option they chose: the most recently used first, then the most used, then
// those never launched in the stored order. Those whose name meets the terms come before those
// found otherwise only when neither was ever launched. At most `limit`.
QList<SearchHit> SearchProfiles(const LauncherConfig &config, const ExtrasMap &extras,
                                const std::function<ProfileUse(const QString &)> &useOf,
                                const QStringList &terms, int limit = 20);
