#include "afterfirstpaint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaintWatcher : public QObject
{
public:
    FirstPaintWatcher(QWidget *window, QObject *context, std::function<void()> work)
        : QObject(window), window(window), context(context), work(std::move(work))
    {
        window->installEventFilter(this);
        QTimer::singleShot(250, this, &FirstPaintWatcher::Run);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The paint is complete once control is back in the event loop.
        if (watched == window && event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &FirstPaintWatcher::Run);
        return false;
    }

private:
    void Run()
    {
        if (done)
            return;
        done = true;
        window->removeEventFilter(this);
        if (context)
            work();
        deleteLater();
    }

    QWidget *window;
    QPointer<QObject> context;
    std::function<void()> work;
    bool done = false;
};

} // namespace

void RunAfterFirstPaint(QWidget *window, QObject *context, std::function<void()> work)
{
    new FirstPaintWatcher(window, context, std::move(work));
}
