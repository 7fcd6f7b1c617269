#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class QLineEdit;
class QPushButton;

enum AddDlgFieldType
{
    TextField = 0,   // any non-empty text without a double quote
    NumberField = 1, // a whole number of at least 1
};

struct AddDlgField
{
    int type = TextField;
    QString label;
    QLineEdit *edit = nullptr; // filled in by the dialog in its own copy
};

// A modal form of labelled rows whose "OK" is enabled only while every row is acceptable.
// The caller reads the texts through `fields` while the dialog still exists.
class AddDlg : public QDialog
{
    Q_OBJECT

public:
    AddDlg(QWidget *parent, const QString &title, const QList<AddDlgField> &rows);
    ~AddDlg() override;

    static bool IsAcceptable(int type, const QString &text);

    QList<AddDlgField> fields;
    QPushButton *okButton = nullptr;

public slots:
    void OnTextEdit();
};

struct ConfigEntry;

// The "Add Resolution" form, then the question about a size larger than the screen: the entry
// to add (" -windowsize WxH"), or nothing when the user cancelled.
std::optional<ConfigEntry> AskResolution(QWidget *parent);
// The "Add Pixel Density" form: the entry to add (" -ppi N"), or nothing.
std::optional<ConfigEntry> AskPixelDensity(QWidget *parent);
