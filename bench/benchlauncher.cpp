// The launcher as it starts for a user, closing its window as soon as the event loop is idle,
// so that a run includes loading, showing and the save at close.

#include "applicationsetup.h"
#include "mainwindow.h"
#include "singleapplication.h"

#include <QTimer>

int main(int argc, char *argv[])
{
    SingleApplication app(argc, argv);
    if (app.isRunning())
        return app.sendMessage(QString(), 5000) ? 0 : 1;
    PrepareApplication(&app);
    MainWindow window;
    window.show();
    app.setActivationWindow(&window, true);
    QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
