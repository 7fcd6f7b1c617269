#pragma once

class QCoreApplication;

// Installs the launcher's translation for the user's language, and Qt's own for the texts of
// its dialogs, when there is one; with an English or C locale nothing changes. Returns whether
// the launcher's own catalogue was found.
bool InstallTranslations(QCoreApplication *app);
