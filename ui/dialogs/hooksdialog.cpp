#include "hooksdialog.h"

#include "launcherconfig.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QString Tr(const char *text)
{
    return QCoreApplication::translate("HooksDialog", text);
}

QPlainTextEdit *CommandEdit(QWidget *parent, const QString &text, const QString &name)
{
    auto *edit = new QPlainTextEdit(text, parent);
    edit->setObjectName(name);
    // Tab moves on, as in a form: a shell command rarely needs one.
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
    return edit;
}
} // namespace

std::optional<HooksAnswer> AskHooks(QWidget *parent, const QString &profile,
                                    const HooksAnswer &shown)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(Tr(QT_TRANSLATE_NOOP("HooksDialog", "Hooks")));
    auto *intro = new QLabel(
        Tr(QT_TRANSLATE_NOOP("HooksDialog",
                             "Commands run for \"%1\" through /bin/sh -c, in its environment, "
                             "their output in its log. The launch stops when the command before "
                             "fails or takes longer than its time limit; the command after is "
                             "given VELMORA_EXIT_CODE and VELMORA_LOG."))
            .arg(ShownName(profile, 60)),
        &dialog);
    intro->setWordWrap(true);
    auto *before = CommandEdit(&dialog, shown.before, QStringLiteral("beforeLaunch"));
    auto *after = CommandEdit(&dialog, shown.after, QStringLiteral("afterExit"));
    auto *limit = new QSpinBox(&dialog);
    limit->setObjectName(QStringLiteral("hookTimeout"));
    limit->setRange(1, 24 * 60 * 60);
    limit->setValue(shown.timeout);
    limit->setSuffix(Tr(QT_TRANSLATE_NOOP("HooksDialog", " s")));
    auto *form = new QFormLayout;
    form->addRow(Tr(QT_TRANSLATE_NOOP("HooksDialog", "&Before launch:")), before);
    form->addRow(Tr(QT_TRANSLATE_NOOP("HooksDialog", "&Time limit:")), limit);
    form->addRow(Tr(QT_TRANSLATE_NOOP("HooksDialog", "&After it ends:")), after);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(520, 0)));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // A command of blanks alone is none.
    const auto command = [](const QPlainTextEdit *edit) {
        const QString text = edit->toPlainText();
        return text.trimmed().isEmpty() ? QString() : text.trimmed();
    };
    return HooksAnswer{command(before), command(after), limit->value()};
}
