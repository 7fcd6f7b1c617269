#pragma once

#include <QChar>
#include <QSet>
#include <QString>

class QObject;
class QWidget;

// Mnemonics (the underlined letter that Alt and the letter reach) of texts the launcher does
// not write itself: the standard buttons and labels of Qt's message boxes and input dialogs.
// The launcher's own texts carry theirs, chosen in each catalogue.

// The letter after a single '&' in `text`, in lower case; a null QChar when there is none
// ("&&" is a written ampersand).
QChar MnemonicOf(const QString &text);

// `text` with a mnemonic: its own when it has one, else the first letter not in `taken` that
// begins a word, else any such letter; `text` unchanged when every letter is taken. The letter
// chosen is added to `taken`.
QString WithMnemonic(const QString &text, QSet<QChar> &taken);

// Gives every button, every label that names a field and every group box of `dialog` that has
// no mnemonic one that no other of them has.
void CompleteMnemonics(QWidget *dialog);

// Completes the mnemonics of every message box and input dialog as it is shown, for the whole
// application.
void CompleteMnemonicsOfDialogs(QObject *application);
