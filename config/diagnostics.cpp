#include "diagnostics.h"

Q_LOGGING_CATEGORY(lcLauncher, "velmora.launcher", QtWarningMsg)
