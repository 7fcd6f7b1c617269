#include "adddlg.h"

#include "dialogs.h"
#include "launcherconfig.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

AddDlg::AddDlg(QWidget *parent, const QString &title, const QList<AddDlgField> &rows)
    : QDialog(parent), fields(rows)
{
    setWindowTitle(title);
    setSizeGripEnabled(true);

    auto *outer = new QVBoxLayout;
    auto *form = new QFormLayout;
    static const QRegularExpression digits(QStringLiteral("^[1-9]+[0-9]*$"));
    for (AddDlgField &field : fields) {
        field.edit = new QLineEdit;
        if (field.type == NumberField)
            field.edit->setValidator(new QRegularExpressionValidator(digits, this));
        connect(field.edit, &QLineEdit::textChanged, this, &AddDlg::OnTextEdit);
        form->addRow(field.label, field.edit);
    }
    outer->addLayout(form);

    auto *buttons = new QDialogButtonBox;
    okButton = new QPushButton(tr("&OK"));
    buttons->addButton(okButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(new QPushButton(tr("&Cancel")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    okButton->setEnabled(false);

    outer->addWidget(buttons);
    setLayout(outer);
    FitTitle(this);
}

AddDlg::~AddDlg() = default;

bool AddDlg::IsAcceptable(int type, const QString &text)
{
    switch (type) {
    case TextField:
        // A double quote or a line break would end the name early in Launcher.ini.
        return !text.isEmpty() && !text.contains(QLatin1Char('"')) && !ContainsLineBreak(text);
    case NumberField: {
        bool ok = false;
        const int number = text.toInt(&ok, 10);
        return ok && number >= 1;
    }
    default:
        return true;
    }
}

void AddDlg::OnTextEdit()
{
    bool acceptable = true;
    for (const AddDlgField &field : fields) {
        if (!IsAcceptable(field.type, field.edit->text())) {
            acceptable = false;
            break;
        }
    }
    okButton->setEnabled(acceptable);
}

// The forms' texts are the window's, where the user meets them.
std::optional<ConfigEntry> AskResolution(QWidget *parent)
{
    AddDlg dlg(parent, QCoreApplication::translate("MainWindow", "Add Resolution"),
               {{TextField, QCoreApplication::translate("MainWindow", "&Name:")},
                {NumberField, QCoreApplication::translate("MainWindow", "&Width:")},
                {NumberField, QCoreApplication::translate("MainWindow", "&Height:")}});
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString widthText = dlg.fields.at(1).edit->text();
    const QString heightText = dlg.fields.at(2).edit->text();
    if (!ConfirmLargerThanScreen(parent, widthText.toInt(nullptr, 10),
                                 heightText.toInt(nullptr, 10)))
        return std::nullopt;
    return ConfigEntry{dlg.fields.at(0).edit->text(),
                       QLatin1String(" -windowsize ") + widthText + QLatin1Char('x') + heightText};
}

std::optional<ConfigEntry> AskPixelDensity(QWidget *parent)
{
    AddDlg dlg(parent, QCoreApplication::translate("MainWindow", "Add Pixel Density"),
               {{TextField, QCoreApplication::translate("MainWindow", "&Name:")},
                {NumberField, QCoreApplication::translate("MainWindow", "&Pixel Density:")}});
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return ConfigEntry{dlg.fields.at(0).edit->text(),
                       QLatin1String(" -ppi ") + dlg.fields.at(1).edit->text()};
}
