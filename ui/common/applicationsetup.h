#pragma once

class QApplication;

// What the launcher's application needs before its window exists: the translations and the
// desktop file name that docks and task bars match the window to. Shared by main() and the
// benchmark, so that the benchmark starts the launcher as users get it.
void PrepareApplication(QApplication *app);

// The window icon of every window of the application. Decoding it is not needed for the first
// paint: the window sets it once it has painted.
void SetApplicationIcon();

// The log viewer and the Running Emulators window are windows to a screen reader.
void ShowWindowsAsWindows();
