#pragma once

#include <functional>

class QObject;
class QWidget;

// Runs `work` once `window` has painted for the first time, so that what the first look does
// not need (watching files, the emulators started before, the icon) does not delay it. A window
// that is not shown runs it once the event loop has had a quarter of a second. Nothing runs
// once `context` is gone.
void RunAfterFirstPaint(QWidget *window, QObject *context, std::function<void()> work);
