#pragma once

#include <QLoggingCategory>

// Everything the launcher reports on stderr goes through this category, so that a user can
// silence or widen it with QT_LOGGING_RULES like any other Qt program's output.
Q_DECLARE_LOGGING_CATEGORY(lcLauncher)
