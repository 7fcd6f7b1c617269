#pragma once

#include <QString>

#include <optional>

class QWidget;

// The commands a profile runs around its emulator, as the hooks dialog edits them.
struct HooksAnswer
{
    QString before;
    QString after;
    int timeout = 60;
};

// Asks for the commands run before "profile"'s emulator starts and after it ends, and how long
// the first may take: what was entered, or nothing when the user cancelled.
std::optional<HooksAnswer> AskHooks(QWidget *parent, const QString &profile,
                                    const HooksAnswer &shown);
