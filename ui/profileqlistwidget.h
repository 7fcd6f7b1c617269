#pragma once

#include <QListWidget>

// The profile list: just wide enough for its widest name and a scroll bar.
class ProfileQListWidget : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;

    QSize sizeHint() const override;
};
