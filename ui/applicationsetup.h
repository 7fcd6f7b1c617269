#pragma once

class QApplication;

// What the launcher's application needs before its window exists: the translations, the
// desktop file name that docks and task bars match the window to, and the window icon. Shared
// by main() and the benchmark, so that the benchmark starts the launcher as users get it.
void PrepareApplication(QApplication *app);
