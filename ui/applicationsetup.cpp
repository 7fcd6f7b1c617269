#include "applicationsetup.h"

#include "mnemonics.h"
#include "translations.h"

#include <QApplication>
#include <QIcon>

void PrepareApplication(QApplication *app)
{
    InstallTranslations(app);
    CompleteMnemonicsOfDialogs(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.MobileEmulatorLauncher"));
}

void SetApplicationIcon()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora-launcher.png")));
}
