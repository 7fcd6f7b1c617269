#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Shows a tooltip whose plain text is computed only when the tooltip is asked for, so that
// nothing is composed while the user edits.
class ToolTipProvider : public QObject
{
    Q_OBJECT

public:
    ToolTipProvider(QWidget *target, std::function<QString()> text);

    // Plain text made safe for QToolTip, which would read markup in it: blanks and line
    // breaks are kept as they are.
    static QString ToolTipHtml(const QString &plainText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<QString()> text;
};
