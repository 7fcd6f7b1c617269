#pragma once

#include "profiledocument.h"

#include <QCoreApplication>
#include <QUndoCommand>

// The steps of the document's history. Each applies forwards (redo) or back (undo) to the
// model as it is at that moment, finding its profile by name and its option entry by name and
// value; one that no longer applies is left out of the history, and the document says so.
class ProfileCommand : public QUndoCommand
{
    Q_DECLARE_TR_FUNCTIONS(ProfileCommand)

public:
    ProfileCommand(ProfileDocument *document, const QString &text, QUndoCommand *parent = nullptr);
    void undo() override { Run(false); }
    void redo() override { Run(true); }
    // Written already (an import is saved before it is taken): the first run saves nothing.
    void SetSaved() { saved = true; }

protected:
    // Why the step cannot be applied now, or an empty string once it has been.
    virtual QString Apply(bool forward) = 0;
    // The profile the step shows once undone or redone.
    virtual QString Subject(bool forward) const = 0;

    const LauncherConfig &Model() const { return document->config; }
    void InsertProfile(int row, const LauncherProfile &profile);
    void RemoveProfileAt(int row);
    void SetProfile(int row, const QList<int> &optionIndex, const QString &arguments);
    void MoveProfileAt(int from, int to);
    void RenameProfileAt(int row, const QString &name);
    void InsertEntry(int section, int index, const ConfigEntry &entry);
    // The entry goes with RemoveOption's folding; `users` are the rows that used it.
    void RemoveEntry(int section, int index, QList<int> *users = nullptr);
    void Reset(LauncherConfig model);

    // The positions the settings' entries have now; none, with the reason, when one is gone.
    std::optional<QList<int>> Positions(const ProfileSettings &settings, QString *problem) const;

    static QString Gone(const QString &name);
    static QString EntryGone(const QString &name);
    static QString Taken(const QString &name);
    static QString Quoted(const QString &name);

private:
    void Run(bool forward);

    ProfileDocument *document = nullptr;
    bool ran = false;
    bool saved = false;
};

class AddProfileCommand : public ProfileCommand
{
public:
    AddProfileCommand(ProfileDocument *document, const QString &name,
                      const ProfileSettings &settings, QUndoCommand *parent = nullptr);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return name; }

private:
    QString name;
    ProfileSettings settings;
};

class UpdateProfileCommand : public ProfileCommand
{
public:
    UpdateProfileCommand(ProfileDocument *document, const QString &name,
                         const ProfileSettings &before, const ProfileSettings &after,
                         QUndoCommand *parent = nullptr);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return name; }

private:
    QString name;
    ProfileSettings before;
    ProfileSettings after;
};

class RemoveProfileCommand : public ProfileCommand
{
public:
    RemoveProfileCommand(ProfileDocument *document, const QString &name,
                         QUndoCommand *parent = nullptr);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return name; }

private:
    QString name;
    // Filled when it is removed: what it stored, where it stood and the profile above it.
    ProfileSettings settings;
    int row = -1;
    QString above;
};

class RenameProfileCommand : public ProfileCommand
{
public:
    RenameProfileCommand(ProfileDocument *document, const QString &from, const QString &to);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool forward) const override { return forward ? to : from; }

private:
    QString from;
    QString to;
};

class MoveProfileCommand : public ProfileCommand
{
public:
    MoveProfileCommand(ProfileDocument *document, const QString &name, int to);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return name; }

private:
    QString name;
    int to = -1;
    int from = -1; // where it stood before it was moved
};

class AddOptionCommand : public ProfileCommand
{
public:
    AddOptionCommand(ProfileDocument *document, int section, const ConfigEntry &entry,
                     QUndoCommand *parent = nullptr);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return QString(); }

private:
    int section = 0;
    ConfigEntry entry;
};

class RemoveOptionCommand : public ProfileCommand
{
public:
    RemoveOptionCommand(ProfileDocument *document, int section, const ConfigEntry &entry);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return QString(); }

private:
    int section = 0;
    ConfigEntry entry;
    int index = -1;
    // The profiles that used it, with their arguments before and after the value was folded in.
    struct User
    {
        QString name;
        QString argumentsBefore;
        QString argumentsAfter;
    };
    QList<User> users;
};

// A change of many profiles at once (an import): applied as the change between two models,
// by name, the way an edit made outside is merged.
class ModelChangeCommand : public ProfileCommand
{
public:
    ModelChangeCommand(ProfileDocument *document, const QString &text, LauncherConfig before,
                       LauncherConfig after, const QString &shown);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return shown; }

private:
    LauncherConfig before;
    LauncherConfig after;
    QString shown;
    bool first = true;
};

// A step of several (a device profile with the entries it needed): undone and redone whole.
class GroupCommand : public ProfileCommand
{
public:
    GroupCommand(ProfileDocument *document, const QString &text, const QString &shown);

protected:
    QString Apply(bool forward) override;
    QString Subject(bool) const override { return shown; }

private:
    QString shown;
};
