#pragma once

#include <QWidget>

class LogText;
class QLabel;
class QPushButton;

// Above a large log's lines: how much of the log is read and how much lies before and after
// it, with "Read Earlier Lines" and "Go to End". Hidden while the whole log is read.
class LogPartBar : public QWidget
{
    Q_OBJECT

public:
    explicit LogPartBar(QWidget *parent = nullptr);

    // Says what of `read` is read, or hides itself when all of it is.
    void Show(const LogText &read);

signals:
    void earlierRequested();
    void latestRequested();

private:
    QLabel *text = nullptr;
    QPushButton *earlier = nullptr;
    QPushButton *latest = nullptr;
};
