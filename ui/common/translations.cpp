#include "translations.h"

#include "filelocations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// The language of the catalogue installed, as its file name says: "de", or empty for English.
QString &SpokenLanguage()
{
    static QString language;
    return language;
}
} // namespace

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
    SpokenLanguage() = own->language().section(QLatin1Char('_'), 0, 0);
    auto *qt = new QTranslator(app);
    if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app->installTranslator(qt);
    return found;
}

QString HelpPagePath()
{
    const QString language = SpokenLanguage();
    if (!language.isEmpty()) {
        const QString page = AppDirFilePath(QStringLiteral("LauncherHelp.%1.html").arg(language));
        if (QFileInfo::exists(page))
            return page;
    }
    return GetFilePath(HelpFile);
}
