#include "modaldriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {
constexpr int PollMs = 10;
// How long a modal may stay open unanswered before it is closed as a failure.
constexpr int GiveUpTicks = 1000; // 10 s
} // namespace

ModalDriver::ModalDriver()
{
    timer.setInterval(PollMs);
    connect(&timer, &QTimer::timeout, this, [this] { Poll(); });
    timer.start();
}

void ModalDriver::Expect(Action action)
{
    queue.enqueue(std::move(action));
}

QString ModalDriver::PlainText(QString text)
{
    text.remove(QLatin1Char('&'));
    return text;
}

QAbstractButton *ModalDriver::FindButton(QWidget *dialog, const QString &text)
{
    const auto buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->isVisible() && PlainText(button->text()) == PlainText(text))
            return button;
    }
    return nullptr;
}

QStringList ModalDriver::ButtonTexts(QWidget *dialog)
{
    QStringList texts;
    const auto buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->isVisible() && !button->text().isEmpty())
            texts.append(PlainText(button->text()));
    }
    texts.sort();
    return texts;
}

int ModalDriver::CloseLeftovers()
{
    int count = 0;
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QApplication::processEvents();
        if (++count > 20)
            break;
    }
    return count;
}

QStringList ModalDriver::Finish()
{
    QStringList problems = failures;
    if (const int leftovers = CloseLeftovers())
        problems.append(QStringLiteral("%1 modal dialog(s) left open").arg(leftovers));
    if (!queue.isEmpty())
        problems.append(QStringLiteral("%1 expected dialog(s) never appeared").arg(queue.size()));
    return problems;
}

void ModalDriver::ExpectMessageBox(const QString &title, const QString &text,
                                   const QStringList &buttons, const QString &click)
{
    Expect([=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            Fail(QStringLiteral("expected a message box \"%1\", got %2")
                     .arg(title, QString::fromLatin1(modal->metaObject()->className())));
            return;
        }
        Check(box->windowTitle() == title,
              QStringLiteral("title \"%1\", expected \"%2\"").arg(box->windowTitle(), title));
        Check(box->text() == text,
              QStringLiteral("text \"%1\", expected \"%2\"").arg(box->text(), text));
        QStringList expected;
        for (const QString &b : buttons)
            expected.append(PlainText(b));
        expected.sort();
        const QStringList shown = ButtonTexts(box);
        Check(shown == expected,
              QStringLiteral("buttons %1, expected %2")
                  .arg(shown.join(QLatin1Char('|')), expected.join(QLatin1Char('|'))));
        if (QAbstractButton *button = FindButton(box, click))
            button->click();
        else
            Fail(QStringLiteral("no button \"%1\" in \"%2\"").arg(click, title));
    });
}

void ModalDriver::ExpectInput(const QString &title, const QString &label, const QString &answer,
                              const QString &shown)
{
    Expect([=](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        if (!dialog) {
            Fail(QStringLiteral("expected an input dialog \"%1\", got %2")
                     .arg(title, QString::fromLatin1(modal->metaObject()->className())));
            return;
        }
        Check(dialog->windowTitle() == title,
              QStringLiteral("title \"%1\", expected \"%2\"").arg(dialog->windowTitle(), title));
        Check(PlainText(dialog->labelText()) == label,
              QStringLiteral("label \"%1\", expected \"%2\"").arg(dialog->labelText(), label));
        Check(dialog->textValue() == shown, QStringLiteral("the field held \"%1\", expected \"%2\"")
                                                .arg(dialog->textValue(), shown));
        if (answer.isNull()) {
            dialog->reject();
            return;
        }
        // A line typed into, or a text of several lines set.
        if (auto *edit = dialog->findChild<QLineEdit *>())
            edit->setText(answer);
        else
            dialog->setTextValue(answer);
        dialog->accept();
    });
}

void ModalDriver::Poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        current = nullptr;
        ticksOnCurrent = 0;
        return;
    }
    if (modal != current) {
        // Keys pressed in a dialog that is not the active window yet go through the shortcuts
        // of the window behind it (Escape in the window's filter field, say): it is made active
        // first, waiting a moment for the platform.
        if (QApplication::activeWindow() != modal && ticksBeforeActive < 50) {
            ++ticksBeforeActive;
            QApplication::setActiveWindow(modal);
            return;
        }
        ticksBeforeActive = 0;
        current = modal;
        ticksOnCurrent = 0;
        if (!queue.isEmpty()) {
            ++handled;
            const Action action = queue.dequeue();
            action(modal);
            return;
        }
    }
    if (++ticksOnCurrent >= GiveUpTicks) {
        const auto *box = qobject_cast<QMessageBox *>(modal);
        Fail(QStringLiteral("modal \"%1\" was left open%2")
                 .arg(modal->windowTitle(), box ? QStringLiteral(": ") + box->text() : QString()));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        ticksOnCurrent = 0;
    }
}
