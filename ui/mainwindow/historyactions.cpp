#include "historyactions.h"

#include "configmessages.h"
#include "dialogs.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QUndoStack>

HistoryActions::HistoryActions(QWidget *w, ProfileDocument *d, ProfileQListWidget *l)
    : QObject(w), window(w), document(d), list(l)
{
    QUndoStack *history = document->History();
    undoAction = new QAction(this);
    redoAction = new QAction(this);
    undoAction->setShortcuts(QKeySequence::Undo);
    // Ctrl+Shift+Z and Ctrl+Y both, whatever the platform's own list holds.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence &key :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    }
    redoAction->setShortcuts(redoKeys);
    for (QAction *action : {undoAction, redoAction}) {
        // Anywhere in the window; a text field takes its own undo keys first.
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        connect(action, &QAction::triggered, this, [this, action] { Run(action == undoAction); });
    }
    connect(history, &QUndoStack::indexChanged, this, &HistoryActions::Name);
    connect(history, &QUndoStack::cleanChanged, this, &HistoryActions::Name);
    Name();
    connect(document, &ProfileDocument::stepShown, this, &HistoryActions::Select);
    connect(document, &ProfileDocument::changesNotKept, this, [this](const QString &what) {
        ShowMessage(window, QMessageBox::Information, WarningTitle(), what);
    });
    connect(document, &ProfileDocument::stepSkipped, this, [this](const QString &what) {
        ShowMessage(window, QMessageBox::Information, title,
                    what + QLatin1Char(' ') +
                        tr("The configuration file was changed outside the launcher meanwhile."));
    });
}

void HistoryActions::Name()
{
    const QUndoStack *history = document->History();
    // A name's own '&' is shown as it is, not taken for a mnemonic.
    const auto shown = [](QString text) {
        return text.replace(u'&', QStringLiteral("&&"));
    };
    const QString undoText = history->undoText();
    const QString redoText = history->redoText();
    undoAction->setText(undoText.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(shown(undoText)));
    redoAction->setText(redoText.isEmpty() ? tr("Red&o") : tr("Red&o %1").arg(shown(redoText)));
    undoAction->setEnabled(history->canUndo());
    redoAction->setEnabled(history->canRedo());
}

void HistoryActions::Run(bool undo)
{
    // Ctrl+Y, which no text field claims, still leaves a field's text alone.
    if (qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        return;
    title = undo ? tr("Undo") : tr("Redo");
    if (undo)
        document->History()->undo();
    else
        document->History()->redo();
}

void HistoryActions::Select(const QStringList &profiles)
{
    // Every profile the step brought back is selected, the first of them current.
    const QHash<QString, int> rows = document->Config().ProfileRows();
    const int first = profiles.isEmpty() ? -1 : rows.value(profiles.first(), -1);
    if (first < 0)
        return;
    list->setCurrentRow(first);
    if (profiles.size() < 2)
        return;
    QItemSelection all;
    for (const QString &name : profiles) {
        const QModelIndex index = list->model()->index(rows.value(name, -1), 0);
        if (index.isValid())
            all.select(index, index);
    }
    list->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
    list->selectionModel()->setCurrentIndex(list->model()->index(first, 0),
                                            QItemSelectionModel::NoUpdate);
}
