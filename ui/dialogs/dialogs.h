#pragma once

#include <QDateTime>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// The launcher's message boxes and its name prompt. Each is made wide enough for its whole
// title, which a narrow box would cut off in the window manager's title bar.

// A message box; returns the standard button that closed it (Cancel when it was closed
// otherwise), as QMessageBox's own static functions do. `details` goes below the text.
QMessageBox::StandardButton ShowMessage(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        const QString &details = QString());

// One line of text; `ok` comes back false when the user cancelled.
QString AskText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                bool *ok);

// Asks for a profile name, starting from `text`, until it is one Launcher.ini can hold (no
// double quote, no line break; a refused name is offered again as typed); an empty string when
// the user cancels or gives none.
QString AskProfileName(QWidget *parent, const QString &title, const QString &label, QString text);

// Asks whether a resolution larger than the primary screen is wanted; true when it is not
// larger, or the user says "Yes".
bool ConfirmLargerThanScreen(QWidget *parent, int width, int height);

// Widens a dialog, a message box included, so that its whole title shows.
void FitTitle(QWidget *dialog);

// The names one to a line, at most 15 and then "… and N more profiles.": a long list in a
// message would push its buttons off the screen.
QString ListedNames(const QStringList &names);

// Whether the user goes on removing an option that the profiles `users` use (the first few are
// named).
bool ConfirmOptionRemoval(QWidget *parent, const QString &title, const QStringList &users);

// A time as the user's locale writes it, short, but with its seconds: two launches of one
// minute must read apart.
QString ShownTime(const QDateTime &time);

// A launch from the applications menu (--launch without a terminal) failed: the message says so
// with what the launcher said (`reason`).
void ShowLaunchFailure(const QStringList &profiles, const QString &reason);
