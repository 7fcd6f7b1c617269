#include "mainwindow.h"
#include "singleapplication.h"

#ifdef VELMORA_CLOSE_WHEN_IDLE
#include <QTimer>
#endif

int main(int argc, char *argv[])
{
    SingleApplication app(argc, argv);
    if (app.isRunning()) {
        // Another launcher runs for this user: bring it to the front and touch nothing.
        return app.sendMessage(QString(), 5000) ? 0 : 1;
    }

    // The window is destroyed before the application object, and writes Launcher.ini as it goes.
    MainWindow window;
    window.show();
    app.setActivationWindow(&window, true);
#ifdef VELMORA_CLOSE_WHEN_IDLE
    // Benchmark build only: close as soon as the event loop has nothing left to do.
    QTimer::singleShot(0, &window, &QWidget::close);
#endif
    return app.exec();
}
