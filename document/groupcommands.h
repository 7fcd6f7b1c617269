#pragma once

#include "profilecommands.h"

#include <vector>

// A change of many profiles at once (an import): the profiles it added or replaced and the
// entries it added, each applied on its own when undone or redone, so that the history keeps
// the difference rather than two whole models.
class ImportCommand : public ProfileCommand
{
public:
    // `before` and `after` are the model around the import; only what differs is kept.
    ImportCommand(ProfileDocument *document, const QString &text, const LauncherConfig &before,
                  const LauncherConfig &after, const ImportReport &report);
    qsizetype Weight() const override { return weight; }

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool forward) const override;
    void Release() override;

private:
    struct Member
    {
        QString name;
        std::optional<ProfileSettings> before; // none: it was added
        ProfileSettings after;
        bool dropped = false;
    };
    std::vector<Member> members;
    QList<std::pair<int, ConfigEntry>> entries; // added, by section
    bool first = true;
    qsizetype weight = 0;
};

// A step of several (a device profile with the entries it needed): undone and redone whole, in
// order forwards and backwards; a part that no longer applies is left out from then on.
class GroupCommand : public ProfileCommand
{
public:
    GroupCommand(ProfileDocument *document, const QString &text, const QString &shown);
    void Add(ProfileCommand *part);
    ~GroupCommand() override;

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool) const override { return {shown}; }

private:
    struct Part
    {
        ProfileCommand *command;
        bool dropped;
    };
    QList<Part> parts;
    QString shown;
};
