#pragma once

class QCoreApplication;

class QApplication;

// What the launcher's application needs before its window exists: the translations, the
// desktop file name that docks and task bars match the window to, and the window icon.
void PrepareApplication(QApplication *app);

// Installs the launcher's translation for the user's language, and Qt's own for the texts of
// its dialogs, when there is one; with an English or C locale nothing changes. Returns whether
// the launcher's own catalogue was found.
bool InstallTranslations(QCoreApplication *app);
