#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Another program writing a file the way editors, sync tools and scripts do, one step at a time
// as the test says, so that a test holds the timing in its hands instead of sleeping:
// - TwoSteps: truncates the file and writes the first part of the new text (Begin), the rest
//   later (Finish), through the descriptor it opened;
// - RenameOver: writes the new text beside it (Begin) and renames it over the file (Finish);
// - InPlace: writes the first part of a text of the same size over the old one (Begin) and the
//   rest (Finish), never truncating.
class DrivenWriter
{
public:
    enum Kind
    {
        TwoSteps,
        RenameOver,
        InPlace,
    };
    // `cut` is where the first part ends (the middle of the text when negative).
    DrivenWriter(const QString &path, const QByteArray &text, Kind kind, qsizetype cut = -1);
    bool Begin();
    bool Finish();
    // What the file holds between the two steps.
    QByteArray Half() const;

private:
    QString path;
    QByteArray text;
    Kind kind;
    qsizetype cut;
    QFile file;
};
