// The launcher as it starts for a user (main.cpp's window path), closing its window once it
// has painted for the first time, so that a run includes loading, showing and the save at
// close; bench_spawn learns when the first paint was.

#include "applicationsetup.h"
#include "firstpaint.h"
#include "mainwindow.h"
#include "singleapplication.h"
#include "terminationsignals.h"

int main(int argc, char *argv[])
{
    TerminationSignals::Catch();
    SingleApplication app(argc, argv);
    if (app.isRunning()) {
        TerminationSignals::Release();
        return app.sendMessage(QString(), 5000) ? 0 : 1;
    }
    TerminationSignals termination;
    PrepareApplication(&app);
    MainWindow window;
    ReportFirstPaintAndClose(&window);
    window.show();
    app.setActivationWindow(&window, true);
    return termination.requested() ? 0 : app.exec();
}
