#pragma once

#include <QObject>
#include <QString>

class ProfileDocument;
class ProfileQListWidget;
class QAction;
class QWidget;

// Undo and Redo of every change of the profiles and option lists: Ctrl+Z, Ctrl+Shift+Z and
// Ctrl+Y anywhere in the window but a text field, and the list menu's entries named after their
// step. After a step the list selects what it touched; a step, or a part of it, that no longer
// applies is told, and so is a change of the user's that another program's took the place of.
class HistoryActions : public QObject
{
    Q_OBJECT

public:
    HistoryActions(QWidget *window, ProfileDocument *document, ProfileQListWidget *list);

    QAction *UndoAction() const { return undoAction; }
    QAction *RedoAction() const { return redoAction; }

private:
    void Name();
    void Run(bool undo);
    void Select(const QStringList &profiles);

    QWidget *window = nullptr;
    ProfileDocument *document = nullptr;
    ProfileQListWidget *list = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    // "Undo" or "Redo": the title of what a step says.
    QString title;
};
