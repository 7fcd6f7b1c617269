#pragma once

#include <QDialogButtonBox>

// A button box makes its first accept button the default when it is shown, and the box's
// focus proxy, so that Tab jumped over "&Help" straight to "&Launch". The window has no
// default button, and Tab goes through the buttons from left to right as they are shown.
class WindowButtonBox : public QDialogButtonBox
{
protected:
    bool event(QEvent *event) override;
};
