#include "extrascompanion.h"

#include "profiledocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

namespace {

// The file's bytes as they stand (empty when it is missing), within the size the launcher reads.
QByteArray FileBytes(const QString &path, bool *tooLarge = nullptr)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return QByteArray();
    if (in.size() > MaxExtrasBytes) {
        if (tooLarge)
            *tooLarge = true;
        return QByteArray();
    }
    return in.readAll();
}

ExtrasFile ReadBytes(const QString &path, QByteArray *bytes)
{
    bool tooLarge = false;
    *bytes = FileBytes(path, &tooLarge);
    if (tooLarge)
        return ReadExtras(path); // says why
    return ParseExtras(*bytes);
}

// One step of the history: the extras of some profiles, before and after.
class ExtrasCommand : public QUndoCommand
{
public:
    struct Change
    {
        QString profile;
        ProfileExtras before;
        ProfileExtras after;
    };
    ExtrasCommand(ExtrasCompanion *companion, const QString &text, QList<Change> changes)
        : QUndoCommand(text), companion(companion), changes(std::move(changes))
    {
    }
    void undo() override
    {
        for (const Change &change : std::as_const(changes))
            companion->Put(change.profile, change.before);
    }
    void redo() override
    {
        for (const Change &change : std::as_const(changes))
            companion->Put(change.profile, change.after);
    }

private:
    ExtrasCompanion *companion;
    QList<Change> changes;
};

constexpr int SettleMs = 500;

} // namespace

ExtrasCompanion::ExtrasCompanion(ProfileDocument *d, const QString &file, QObject *parent)
    : QObject(parent), document(d), path(file)
{
    connect(document, &ProfileDocument::profileRenamed, this, &ExtrasCompanion::OnRenamed);
    connect(document, &ProfileDocument::profileRemoved, this,
            [this](int, const QString &name) { OnRemoved(name); });
    connect(document, &ProfileDocument::profileInserted, this, &ExtrasCompanion::OnInserted);
    connect(document, &ProfileDocument::reset, this, &ExtrasCompanion::Resync);
}

ExtrasCompanion::~ExtrasCompanion()
{
    files.Wait();
}

void ExtrasCompanion::Start()
{
    if (watcher || path.isEmpty())
        return;
    // The folder too: a file replaced in one step (as the launcher and editors write it) is a
    // new file, which a watch of the old one no longer sees.
    watcher = new QFileSystemWatcher(this);
    QDir().mkpath(QFileInfo(path).absolutePath());
    watcher->addPath(QFileInfo(path).absolutePath());
    settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(SettleMs);
    connect(settle, &QTimer::timeout, this, &ExtrasCompanion::ReadOutside);
    connect(watcher, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    ReadOutside();
}

void ExtrasCompanion::WaitForFiles()
{
    files.Wait();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ExtrasCompanion::Edit(const QString &text,
                           const QList<std::pair<QString, ProfileExtras>> &edits)
{
    QList<ExtrasCommand::Change> changes;
    for (const auto &[profile, after] : edits) {
        if (Of(profile) != after)
            changes.append({profile, Of(profile), after});
    }
    if (!changes.isEmpty())
        document->History()->push(new ExtrasCommand(this, text, changes));
}

void ExtrasCompanion::Put(const QString &profile, const ProfileExtras &profileExtras)
{
    if (profileExtras.IsEmpty())
        extras.remove(profile);
    else
        extras.insert(profile, profileExtras);
    Write();
    emit changed();
}

void ExtrasCompanion::OnRenamed(int row, const QString &oldName)
{
    if (!extras.contains(oldName))
        return;
    extras.insert(document->Config().profiles.at(row).name, extras.take(oldName));
    Write();
    emit changed();
}

void ExtrasCompanion::OnRemoved(const QString &name)
{
    if (!extras.contains(name))
        return;
    putAside.insert(name, extras.take(name));
    Write();
    emit changed();
}

void ExtrasCompanion::OnInserted(int row)
{
    const QString name = document->Config().profiles.at(row).name;
    if (!putAside.contains(name))
        return;
    extras.insert(name, putAside.take(name));
    Write();
    emit changed();
}

void ExtrasCompanion::Resync()
{
    const QStringList names = document->Config().ProfileNames();
    const QSet<QString> present(names.cbegin(), names.cend());
    bool moved = false;
    for (auto it = extras.begin(); it != extras.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        putAside.insert(it.key(), it.value());
        it = extras.erase(it);
        moved = true;
    }
    for (auto it = putAside.begin(); it != putAside.end();) {
        if (!present.contains(it.key())) {
            ++it;
            continue;
        }
        extras.insert(it.key(), it.value());
        it = putAside.erase(it);
        moved = true;
    }
    if (!moved)
        return;
    Write();
    emit changed();
}

void ExtrasCompanion::ReadOutside()
{
    const QString file = path;
    files.Post([this, file] {
        QByteArray bytes;
        const ExtrasFile read = ReadBytes(file, &bytes);
        QMetaObject::invokeMethod(this, [this, read] { Learn(read, {}, false, QString()); });
    });
}

void ExtrasCompanion::Write()
{
    if (path.isEmpty())
        return;
    const QString file = path;
    const ExtrasMap sent = extras;
    const ExtrasMap sentBase = base;
    // Written, as far as the next write is concerned: what changes here after this is ours on
    // top of it (a base left as it was would make a rename right after an edit keep both names).
    base = extras;
    files.Post([this, file, sent, sentBase] {
        ExtrasFile result;
        QString why;
        // Merged with the file as it stands, and put in its place only while it is still that
        // file; another program's write meanwhile is merged too.
        for (int attempt = 0; attempt < 5; ++attempt) {
            QByteArray bytes;
            const ExtrasFile theirs = ReadBytes(file, &bytes);
            if (!theirs.readable) {
                result = theirs;
                break;
            }
            result.extras = MergeExtras(sentBase, sent, theirs.extras);
            bool changed = false;
            why = WriteExtras(
                file, result.extras, [&file, &bytes] { return FileBytes(file) == bytes; },
                &changed);
            if (!changed)
                break;
        }
        QMetaObject::invokeMethod(this,
                                  [this, result, sent, why] { Learn(result, sent, true, why); });
    });
}

void ExtrasCompanion::Learn(const ExtrasFile &read, const ExtrasMap &sent, bool wrote,
                            const QString &why)
{
    const QString now =
        !read.readable
            ? QCoreApplication::translate("ProfileExtras", "%1 cannot be read: %2; it is "
                                                           "left as it is and not written")
                  .arg(QDir::toNativeSeparators(path), read.problem)
        : !why.isEmpty() ? QCoreApplication::translate("ProfileExtras", "%1 cannot be written: %2")
                               .arg(QDir::toNativeSeparators(path), why)
                         : QString();
    if (now != problem) {
        problem = now;
        if (!problem.isEmpty())
            emit problemFound(problem);
    }
    if (!read.readable || !why.isEmpty())
        return;
    // What changed here since (the write was asked for, or since the last look) stays.
    const ExtrasMap before = extras;
    extras = MergeExtras(wrote ? sent : base, extras, read.extras);
    base = read.extras;
    if (extras != before)
        emit changed();
}
