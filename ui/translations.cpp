#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallTranslations(QCoreApplication *app)
{
    // Owned by the application, so that they live as long as the texts they translate.
    auto *own = new QTranslator(app);
    const bool found = own->load(QLocale(), QStringLiteral("launcher"), QStringLiteral("_"),
                                 QStringLiteral(":/i18n"));
    if (!found) {
        // No catalogue of ours for this locale: the launcher speaks English, and so do Qt's
        // own buttons beside its texts. Nothing more is looked for on disk.
        delete own;
        return false;
    }
    app->installTranslator(own);
    auto *qt = new QTranslator(app);
    if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app->installTranslator(qt);
    return found;
}
