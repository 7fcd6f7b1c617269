#include "mnemonics.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
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
    bool qtsOwn; // a standard button, its text and letter chosen by the platform's theme
};

bool IsStandardButton(QAbstractButton *button)
{
    for (QWidget *up = button->parentWidget(); up; up = up->parentWidget()) {
        if (auto *box = qobject_cast<QDialogButtonBox *>(up))
            return box->standardButton(button) != QDialogButtonBox::NoButton;
    }
    return false;
}

QString WithoutMnemonic(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size() && text.at(i + 1) != u'&')
            continue;
        if (text.at(i) == u'&' && i + 1 < text.size())
            plain += text.at(i++); // "&&", a written ampersand
        plain += text.at(i);
    }
    return plain;
}

QList<MnemonicText> MnemonicTexts(QWidget *dialog)
{
    QList<MnemonicText> texts;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (child->isHidden())
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            if (!button->text().isEmpty())
                texts.append({button, button->text(), IsStandardButton(button)});
        } else if (auto *label = qobject_cast<QLabel *>(child)) {
            if (label->buddy() && label->textFormat() != Qt::RichText)
                texts.append({label, label->text(), false});
        } else if (auto *group = qobject_cast<QGroupBox *>(child)) {
            if (!group->title().isEmpty())
                texts.append({group, group->title(), false});
        }
    }
    return texts;
}

QString TextOf(QWidget *widget)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        return group->title();
    return QString();
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
    QList<MnemonicText> texts = MnemonicTexts(dialog);
    // The launcher's letters first; a letter a theme gave a standard button ("&Close" beside
    // our "&Copy") yields to them, the button then taking a free one.
    QSet<QChar> taken;
    for (const MnemonicText &text : texts) {
        const QChar own = MnemonicOf(text.text);
        if (!own.isNull() && !text.qtsOwn)
            taken.insert(own);
    }
    for (MnemonicText &text : texts) {
        const QChar own = MnemonicOf(text.text);
        if (!text.qtsOwn || own.isNull())
            continue;
        if (taken.contains(own))
            text.text = WithoutMnemonic(text.text);
        else
            taken.insert(own);
    }
    for (const MnemonicText &text : texts) {
        const QString marked =
            MnemonicOf(text.text).isNull() ? WithMnemonic(text.text, taken) : text.text;
        if (marked != TextOf(text.widget))
            SetText(text.widget, marked);
    }
}

void CompleteMnemonicsOfDialogs(QObject *application)
{
    application->installEventFilter(new DialogWatcher(application));
}
