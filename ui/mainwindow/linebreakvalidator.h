#pragma once

#include <QValidator>

// Accepts any text, with each line break turned into a blank: a line edit keeps pasted line
// breaks, and one in the arguments would end a line of Launcher.ini.
class LineBreakValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override;
};
