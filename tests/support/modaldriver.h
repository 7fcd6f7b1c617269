#pragma once

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QStringList>
#include <QTimer>

#include <functional>

class QAbstractButton;
class QWidget;

// Answers the modal dialogs that the code under test opens with exec(). Each expectation
// receives the next modal widget; it checks what the dialog shows and closes it. A modal that
// nobody expected, or one that an expectation left open, is rejected after a while and
// recorded as a failure, so no test can hang in exec().
class ModalDriver : public QObject
{
public:
    using Action = std::function<void(QWidget *modal)>;

    ModalDriver();

    void Expect(Action action);
    // The message box must show exactly this title, text and set of buttons (mnemonics
    // ignored); then `click` is pressed.
    void ExpectMessageBox(const QString &title, const QString &text, const QStringList &buttons,
                          const QString &click);
    // An input dialog with this title and label, whose field holds `shown`; `answer` is entered
    // and confirmed, or the dialog is cancelled when `answer` is null.
    void ExpectInput(const QString &title, const QString &label, const QString &answer,
                     const QString &shown = QString());

    // Every expectation was used and nothing went wrong.
    bool Settled() const { return queue.isEmpty() && failures.isEmpty(); }
    QStringList failures;
    int handled = 0;

    void Fail(const QString &what) { failures.append(what); }
    void Check(bool condition, const QString &what)
    {
        if (!condition)
            Fail(what);
    }

    static QString PlainText(QString text);
    static QAbstractButton *FindButton(QWidget *dialog, const QString &text);
    static QStringList ButtonTexts(QWidget *dialog);
    // Closes whatever modal is still open; returns how many there were.
    static int CloseLeftovers();
    // Ends a test: closes leftover modals and returns every problem seen (empty when the test
    // answered exactly the dialogs it expected).
    QStringList Finish();

private:
    void Poll();

    QTimer timer;
    QQueue<Action> queue;
    QPointer<QWidget> current;
    int ticksOnCurrent = 0;
    int ticksBeforeActive = 0;
};
