#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QWidget>

// What a keyboard user would trip over in a window or a menu: a control without a mnemonic, or
// two that share one. Read with QKeySequence's own parsing, the one Qt acts on. Controls of the
// same text may share theirs (the three "Add" buttons have no letter left of their own): Alt and
// the letter moves among them.
inline QStringList MnemonicProblems(const QString &where, const QStringList &texts)
{
    QStringList problems;
    QMap<QKeySequence, QString> seen;
    for (const QString &text : texts) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty()) {
            problems.append(where + QStringLiteral(": no mnemonic in \"") + text + '"');
            continue;
        }
        if (seen.contains(key) && seen.value(key) != text)
            problems.append(where + QStringLiteral(": \"") + seen.value(key) +
                            QStringLiteral("\" and \"") + text + QStringLiteral("\" share ") +
                            key.toString());
        seen.insert(key, text);
    }
    return problems;
}

// The buttons, the labels that name a field and the group boxes `window` shows.
inline QStringList WindowMnemonicProblems(QWidget *window)
{
    QStringList texts;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(window))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            if (!button->text().isEmpty())
                texts.append(button->text());
        } else if (auto *label = qobject_cast<QLabel *>(child)) {
            // A label without a buddy shows its text as it is.
            if (label->buddy())
                texts.append(label->text());
        } else if (auto *group = qobject_cast<QGroupBox *>(child)) {
            texts.append(group->title());
        }
    }
    return MnemonicProblems(window->windowTitle(), texts);
}

inline QStringList MenuMnemonicProblems(const QString &where, const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions) {
        if (!action->isSeparator())
            texts.append(action->text());
    }
    return MnemonicProblems(where, texts);
}
