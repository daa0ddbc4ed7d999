#pragma once

#include <QLoggingCategory>

// One category per subsystem. Debug output is off unless the host turns on the
// debug-log switch (or sets QT_LOGGING_RULES itself).
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcModel)
Q_DECLARE_LOGGING_CATEGORY(lcAppearance)
Q_DECLARE_LOGGING_CATEGORY(lcBackend)
Q_DECLARE_LOGGING_CATEGORY(lcService)
Q_DECLARE_LOGGING_CATEGORY(lcConfiguration)
Q_DECLARE_LOGGING_CATEGORY(lcManager)
Q_DECLARE_LOGGING_CATEGORY(lcViews)
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)
Q_DECLARE_LOGGING_CATEGORY(lcMenu)
Q_DECLARE_LOGGING_CATEGORY(lcRecording)

namespace WexoCreator {

// Turns the debug output of every library category on or off.
void setDebugLogging(bool enabled);

} // namespace WexoCreator
