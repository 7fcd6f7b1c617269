#pragma once

#include "profilecommands.h"

class AddOptionCommand : public ProfileCommand
{
public:
    AddOptionCommand(ProfileDocument *document, int section, const ConfigEntry &entry);

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool) const override { return {}; }

private:
    int section = 0;
    ConfigEntry entry;
};

class RemoveOptionCommand : public ProfileCommand
{
public:
    // `users` are the profiles that used the entry as the user was asked, with what they
    // stored.
    RemoveOptionCommand(ProfileDocument *document, int section, const ConfigEntry &entry,
                        const QList<ProfileDocument::Expected> &users);

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool) const override { return {}; }

private:
    int section = 0;
    ConfigEntry entry;
    QString neighbour; // the entry above it, by name, where it goes back
    ConfigEntry neighbourEntry;
    int index = -1;
    // The profiles that used it, before and after the value was folded into their arguments.
    struct User
    {
        QString name;
        ProfileSettings before;
        ProfileSettings after;
        bool dropped = false;
    };
    QList<User> users;
};
