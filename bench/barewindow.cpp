// The floor: a bare Qt 6 main window that shows itself and closes once the event loop is idle.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
