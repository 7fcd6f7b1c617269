#pragma once

#include "profiledocument.h"

#include <QCoreApplication>
#include <QUndoCommand>

#include <optional>
#include <vector>

// The steps of the document's history. Each applies forwards (redo) or back (undo) to the
// model as it is at that moment, finding its profile by name and its option entry by name and
// value, and only while the profile still stores what the step left there or found there: a
// profile that another program changed meanwhile is skipped, and the document says so. A step
// of which nothing applies any more leaves the history.
class ProfileCommand : public QUndoCommand
{
    Q_DECLARE_TR_FUNCTIONS(ProfileCommand)

public:
    ProfileCommand(ProfileDocument *document, const QString &text);
    void undo() override { Run(false); }
    void redo() override { Run(true); }
    // Written already (an import is saved before it is taken): the first run saves nothing.
    void SetSaved() { saved = true; }
    // About how much memory the step keeps (what it needs to undo and redo itself).
    virtual qsizetype Weight() const { return 1024; }
    // Lets go of what the step keeps, to bound the history's memory: from then on it undoes and
    // redoes nothing, says so, and leaves the history.
    void LetGo();
    bool Released() const { return letGo; }

    static QString Quoted(const QString &name);
    static QString Gone(const QString &name);
    static QString Taken(const QString &name);
    static QString Changed(const QString &name);
    static QString EntryGone(const QString &name);
    static QString EntryUsed(const QString &entry, const QString &profile);

protected:
    struct Result
    {
        bool applied = true; // false: nothing of it applies now; it leaves the history
        QStringList skipped; // why parts of it did not apply, or why none did
        static Result Skipped(const QString &why) { return {false, {why}}; }
    };
    virtual Result Apply(bool forward) = 0;
    // The profiles the step shows once undone or redone; the first is selected.
    virtual QStringList Subjects(bool forward) const = 0;

    const LauncherConfig &Model() const { return document->Config(); }
    // Whether its saves wait for a moment's quiet: a run of such steps is written once.
    virtual bool SavesSoon() const { return false; }
    // Frees what the step keeps; only a step that keeps much has anything to free.
    virtual void Release() {}
    // The memory a profile's settings take, about.
    static qsizetype WeightOf(const QString &name, const ProfileSettings &settings);
    ProfileDocument *Document() const { return document; }
    void InsertProfile(int row, const LauncherProfile &profile);
    void RemoveProfileAt(int row);
    void SetProfile(int row, const QList<int> &optionIndex, const QString &arguments);
    void MoveProfileAt(int from, int to);
    void RenameProfileAt(int row, const QString &name);
    void InsertEntry(int section, int index, const ConfigEntry &entry);
    // The entry goes with RemoveOption's folding.
    void RemoveEntry(int section, int index);
    void Reset(LauncherConfig model);

    // The positions the settings' entries have now; none, with the reason, when one is gone.
    std::optional<QList<int>> Positions(const ProfileSettings &settings, QString *problem,
                                        const EntryPositions *index = nullptr) const;
    // Whether the profile at `row` stores `settings`; else why not.
    QString Expect(int row, const QString &name, const ProfileSettings &settings) const;

private:
    friend class GroupCommand;
    void Run(bool forward);

    ProfileDocument *document = nullptr;
    bool ran = false;
    bool saved = false;
    bool letGo = false;
};

class AddProfileCommand : public ProfileCommand
{
public:
    AddProfileCommand(ProfileDocument *document, const QString &name,
                      const ProfileSettings &settings);

protected:
    Result Apply(bool forward) override;
    // Undone: the profile that took its row.
    QStringList Subjects(bool forward) const override;

private:
    QString name;
    ProfileSettings settings;
    int row = -1; // where it stood when it was undone
};

class UpdateProfileCommand : public ProfileCommand
{
public:
    // `before` is what the profile stores, as the user last saw it.
    UpdateProfileCommand(ProfileDocument *document, const QString &name,
                         const ProfileSettings &before, const ProfileSettings &after);

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool) const override { return {name}; }

private:
    QString name;
    ProfileSettings before;
    ProfileSettings after;
};

class RemoveProfileCommand : public ProfileCommand
{
public:
    // `settings` is what the profile stores as the user was asked about it.
    RemoveProfileCommand(ProfileDocument *document, const QString &name,
                         const ProfileSettings &settings);

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool forward) const override;

private:
    QString name;
    ProfileSettings settings;
    // Filled when it is removed: where it stood and the profile above it.
    int row = -1;
    QString above;
};

// Several profiles removed in one step, in one pass over the list however many there are;
// each applies on its own, and those that no longer do are named together.
class RemoveProfilesCommand : public ProfileCommand
{
public:
    RemoveProfilesCommand(ProfileDocument *document, const QList<ProfileDocument::Expected> &which);
    qsizetype Weight() const override { return weight; }

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool forward) const override;
    void Release() override;

private:
    struct Member
    {
        QString name;
        ProfileSettings settings;
        int row = -1;
        QString above; // the nearest profile above it that stayed
        bool removed = false;
        bool dropped = false; // it did not apply once: it is left alone from then on
    };
    std::vector<Member> members;
    QStringList lastShown;
    qsizetype weight = 0;
};

class RenameProfileCommand : public ProfileCommand
{
public:
    RenameProfileCommand(ProfileDocument *document, const QString &from, const QString &to,
                         const ProfileSettings &settings);

protected:
    Result Apply(bool forward) override;
    QStringList Subjects(bool forward) const override { return {forward ? to : from}; }

private:
    QString from;
    QString to;
    ProfileSettings settings;
};

class MoveProfileCommand : public ProfileCommand
{
public:
    MoveProfileCommand(ProfileDocument *document, const QString &name, int to);
    // Moves of one profile in a row are one step, written once.
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand *other) override;

protected:
    bool SavesSoon() const override { return true; }
    Result Apply(bool forward) override;
    QStringList Subjects(bool) const override { return {name}; }

private:
    QString name;
    int to = -1;
    int from = -1; // where it stood before it was moved
};
