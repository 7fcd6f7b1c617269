#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The notice of emulators that ended right after their start: not modal, it takes the focus
// (Escape closes it). It lists every end not yet dismissed, newest first, in a list that
// scrolls, and shows what the chosen one wrote; it never grows past the screen, however many
// end.
class EarlyEndNotice : public QDialog
{
    Q_OBJECT

public:
    struct End
    {
        QString profile;
        QString log;
        QString text; // "The emulator for "A" ended 0.2 seconds after it started: …."
    };
    explicit EarlyEndNotice(QWidget *parent);

    // Adds ends (newest last) and shows the notice in front.
    void Add(const QList<End> &ends);
    // What it says: the heading and each end, newest first.
    QString Text() const;
    // What the chosen end wrote, as shown.
    QString Output() const;
    int Count() const { return int(ends.size()); }

signals:
    void openLogRequested(const QString &profile, const QString &log);

private:
    void ShowChosen();

    QList<End> ends; // newest first
    QLabel *heading = nullptr;
    QListWidget *list = nullptr;
    QPlainTextEdit *output = nullptr;
    QPushButton *openLog = nullptr;
};
