#include "applicationsetup.h"

#include "mnemonics.h"
#include "translations.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace {

// The launcher's other windows are windows to a screen reader, not filler: Qt takes a plain
// QWidget for a part of another one, whatever its window flags say.
QAccessibleInterface *WindowsAsWindows(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() &&
        (className == QLatin1String("LogViewer") || className == QLatin1String("RunningPanel")))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void ShowWindowsAsWindows()
{
    QAccessible::installFactory(WindowsAsWindows);
}

void PrepareApplication(QApplication *app)
{
    ShowWindowsAsWindows();
    InstallTranslations(app);
    CompleteMnemonicsOfDialogs(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.MobileEmulatorLauncher"));
}

void SetApplicationIcon()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora-launcher.png")));
}
