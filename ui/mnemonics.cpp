#include "mnemonics.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace {

// The widgets whose text gives a mnemonic: buttons, labels of a field, group boxes.
struct MnemonicText
{
    QWidget *widget;
    QString text;
};

QList<MnemonicText> MnemonicTexts(QWidget *dialog)
{
    QList<MnemonicText> texts;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (child->isHidden())
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            if (!button->text().isEmpty())
                texts.append({button, button->text()});
        } else if (auto *label = qobject_cast<QLabel *>(child)) {
            if (label->buddy() && label->textFormat() != Qt::RichText)
                texts.append({label, label->text()});
        } else if (auto *group = qobject_cast<QGroupBox *>(child)) {
            if (!group->title().isEmpty())
                texts.append({group, group->title()});
        }
    }
    return texts;
}

void SetText(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(widget))
        group->setTitle(text);
}

class DialogWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show &&
            (qobject_cast<QMessageBox *>(watched) || qobject_cast<QInputDialog *>(watched)))
            CompleteMnemonics(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

QChar MnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return QChar();
}

QString WithMnemonic(const QString &text, QSet<QChar> &taken)
{
    const QChar own = MnemonicOf(text);
    if (!own.isNull()) {
        taken.insert(own);
        return text;
    }
    const auto freeLetter = [&](qsizetype i) {
        const QChar c = text.at(i);
        return c.isLetterOrNumber() && !taken.contains(c.toLower()) &&
               (i == 0 || text.at(i - 1) != u'&');
    };
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (freeLetter(i) && (i == 0 || !text.at(i - 1).isLetterOrNumber()))
            chosen = i;
    }
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (freeLetter(i))
            chosen = i;
    }
    if (chosen < 0)
        return text;
    taken.insert(text.at(chosen).toLower());
    QString marked = text;
    marked.insert(chosen, u'&');
    return marked;
}

void CompleteMnemonics(QWidget *dialog)
{
    const QList<MnemonicText> texts = MnemonicTexts(dialog);
    QSet<QChar> taken;
    for (const MnemonicText &text : texts) {
        const QChar own = MnemonicOf(text.text);
        if (!own.isNull())
            taken.insert(own);
    }
    for (const MnemonicText &text : texts) {
        if (MnemonicOf(text.text).isNull()) {
            const QString marked = WithMnemonic(text.text, taken);
            if (marked != text.text)
                SetText(text.widget, marked);
        }
    }
}

void CompleteMnemonicsOfDialogs(QObject *application)
{
    application->installEventFilter(new DialogWatcher(application));
}
