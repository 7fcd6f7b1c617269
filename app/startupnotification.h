#pragma once

#include <QByteArray>

class QWidget;

// The desktop's launch feedback on X11 (a busy cursor, "starting…" in the task bar), begun for
// each start and ended by the started program. Qt's X11 plugin takes DESKTOP_STARTUP_ID out of
// the environment as the application object connects, so it is read before that.

// The desktop's activation token of this start: XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID,
// as the environment had it when the process began. Call first in main(), before the
// application object exists.
QByteArray TakeActivationToken();
QByteArray ActivationToken();
// The DESKTOP_STARTUP_ID of this start (X11), as TakeActivationToken found it.
QByteArray StartupId();

// Ends the feedback of the start `startupId` ("remove: ID=..."), as a start that shows no window
// of its own must; nothing off X11.
void EndStartupFeedback(const QByteArray &startupId);

// Brings `window` forward with the time of the user's action that began `startupId` (its
// "_TIME" part): a window manager that prevents focus stealing then lets it come forward.
// Nothing off X11 or without such a time.
void UseStartupTime(QWidget *window, const QByteArray &startupId);

// The "_TIME<n>" of a startup id; 0 when it has none.
quint32 StartupIdTime(const QByteArray &startupId);
