#include "mainwindow.h"
#include "singleapplication.h"

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
    return app.exec();
}
