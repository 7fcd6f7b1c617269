#include "tooltipprovider.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

ToolTipProvider::ToolTipProvider(QWidget *target, std::function<QString()> textFunction)
    : QObject(target), text(std::move(textFunction))
{
    target->installEventFilter(this);
}

QString ToolTipProvider::ToolTipHtml(const QString &plainText)
{
    QString html = plainText.toHtmlEscaped();
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return QLatin1String("<p style='white-space:pre'>") + html + QLatin1String("</p>");
}

bool ToolTipProvider::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && watched == parent()) {
        auto *help = static_cast<QHelpEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        QToolTip::showText(help->globalPos(), ToolTipHtml(text()), widget);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
