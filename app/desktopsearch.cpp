#include "desktopsearch.h"

#include <QCoreApplication>

#include <algorithm>

QString SearchDescription(const LauncherConfig &config, const LauncherProfile &profile,
                          const ProfileExtras &extras)
{
    QStringList described;
    for (int s = 1; s <= OptionSectionCount && s < config.sections.size(); ++s) {
        const int k = s - 1 < profile.optionIndex.size() ? profile.optionIndex.at(s - 1) : -1;
        if (config.HasEntry(s, k) && k > 0)
            described.append(config.sections.at(s).entries.at(k).name);
    }
    if (!extras.tags.isEmpty())
        described.append(extras.tags.join(QStringLiteral(", ")));
    return ShownText(described.join(QStringLiteral(" · ")), 200);
}

QList<SearchHit> SearchProfiles(const LauncherConfig &config, const ExtrasMap &extras,
                                const std::function<ProfileUse(const QString &)> &useOf,
                                const QStringList &terms, int limit)
{
    QStringList wanted;
    for (const QString &term : terms) {
        if (!term.trimmed().isEmpty())
            wanted.append(term.trimmed());
    }
    if (wanted.isEmpty())
        return {};
    struct Found
    {
        SearchHit hit;
        ProfileUse use;
        int row;
    };
    QList<Found> found;
    for (int row = 0; row < config.profiles.size(); ++row) {
        const LauncherProfile &profile = config.profiles.at(row);
        const ProfileExtras of = extras.value(profile.name);
        bool all = true;
        bool byName = true;
        for (const QString &term : std::as_const(wanted)) {
            const ProfileMatch match =
                MatchWithExtras(MatchProfile(config, profile, term), of, term);
            all = all && match != ProfileMatch::None;
            byName = byName && match == ProfileMatch::Name &&
                     profile.name.contains(term, Qt::CaseInsensitive);
            if (!all)
                break;
        }
        if (!all)
            continue;
        found.append({{profile.name, SearchDescription(config, profile, of), byName},
                      useOf(profile.name),
                      row});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        if (a.use.lastLaunched != b.use.lastLaunched)
            return a.use.lastLaunched.isValid() &&
                   (!b.use.lastLaunched.isValid() || a.use.lastLaunched > b.use.lastLaunched);
        if (a.use.launchCount != b.use.launchCount)
            return a.use.launchCount > b.use.launchCount;
        return a.hit.byName && !b.hit.byName;
    });
    QList<SearchHit> hits;
    for (qsizetype i = 0; i < found.size() && i < limit; ++i)
        hits.append(found.at(i).hit);
    return hits;
}
