#pragma once

#include "profiledocument.h"
#include "profileexchange.h"

#include <QObject>

#include <functional>

class ExtrasCompanion;
class ProfileQListWidget;
class QWidget;

// Export Profiles and Import Profiles: which profiles, which file, and for an import what to do
// with a name that exists; the document does the work, and what it could not do is told here.
class ExchangeDialogs : public QObject
{
    Q_OBJECT

public:
    ExchangeDialogs(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
                    ExtrasCompanion *extras);

    using ImportDecider = std::function<ImportChoice(const QString &name)>;
    // Merges the profiles of the Launcher.ini-format file at `path`; `decide` answers for a
    // name that exists. Saved at once; nothing changes when the save fails. The outcome is
    // told once the answers are applied (at once, unless another program is writing the file).
    void ImportProfilesFrom(const QString &path, const ImportDecider &decide);
    // ImportProfilesFrom with the questions Import Profiles asks: a file opened with the
    // launcher, dropped onto its window or handed over by the desktop.
    void ImportAsking(const QString &path);

public slots:
    // All profiles or the selected ones, to a file the user names.
    void OnExportProfiles();
    // A file the user picks, asking once per name that exists (or once for the rest).
    void OnImportProfiles();

private:
    void ShowImportOutcome(const QString &path, const ProfileDocument::ImportOutcome &outcome);
    // The tags and notes the imported profiles carry, and their environment and hooks once the
    // user has seen them and said to take them.
    void TakeCarriedExtras(const ProfileDocument::ImportOutcome &outcome);

    QWidget *window = nullptr;
    ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    ExtrasCompanion *extras = nullptr;
};
