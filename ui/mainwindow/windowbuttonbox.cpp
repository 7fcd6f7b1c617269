#include "windowbuttonbox.h"

#include <QEvent>
#include <QLayout>
#include <QPushButton>

bool WindowButtonBox::event(QEvent *event)
{
    const bool handled = QDialogButtonBox::event(event);
    if (event->type() == QEvent::Show) {
        setFocusProxy(nullptr);
        // The layout holds the buttons in the order the platform shows them.
        QWidget *previous = nullptr;
        for (int i = 0; i < layout()->count(); ++i) {
            auto *button = qobject_cast<QPushButton *>(layout()->itemAt(i)->widget());
            if (!button)
                continue;
            button->setDefault(false);
            if (previous)
                QWidget::setTabOrder(previous, button);
            previous = button;
        }
    }
    return handled;
}
