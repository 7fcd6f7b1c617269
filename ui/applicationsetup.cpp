#include "applicationsetup.h"

#include "translations.h"

#include <QApplication>
#include <QIcon>

void PrepareApplication(QApplication *app)
{
    InstallTranslations(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.MobileEmulatorLauncher"));
}

void SetApplicationIcon()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora-launcher.png")));
}
