#pragma once

class QCoreApplication;
class QString;

// Installs the launcher's translation for the user's language, and Qt's own for the texts of
// its dialogs, when there is one; with an English or C locale nothing changes. Returns whether
// the launcher's own catalogue was found.
bool InstallTranslations(QCoreApplication *app);

// The help page in the language the launcher speaks: "LauncherHelp.<language>.html" beside it
// when there is one (German), else the English "LauncherHelp.html".
QString HelpPagePath();
