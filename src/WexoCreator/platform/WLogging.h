#pragma once

#include "WexoCreator/WexoCreatorExport.h"

#include <QLoggingCategory>

namespace WexoCreator {

// One category per subsystem (what Q_DECLARE_LOGGING_CATEGORY declares, exported).
// Debug output is off unless the host turns on the debug-log switch (or sets
// QT_LOGGING_RULES itself).
WEXOCREATOR_EXPORT const QLoggingCategory &lcPlatform();
WEXOCREATOR_EXPORT const QLoggingCategory &lcModel();
WEXOCREATOR_EXPORT const QLoggingCategory &lcAppearance();
WEXOCREATOR_EXPORT const QLoggingCategory &lcBackend();
WEXOCREATOR_EXPORT const QLoggingCategory &lcService();
WEXOCREATOR_EXPORT const QLoggingCategory &lcConfiguration();
WEXOCREATOR_EXPORT const QLoggingCategory &lcManager();
WEXOCREATOR_EXPORT const QLoggingCategory &lcViews();
WEXOCREATOR_EXPORT const QLoggingCategory &lcPlayback();
WEXOCREATOR_EXPORT const QLoggingCategory &lcMenu();
WEXOCREATOR_EXPORT const QLoggingCategory &lcRecording();

// Turns the debug output of every library category on or off.
WEXOCREATOR_EXPORT void setDebugLogging(bool enabled);

} // namespace WexoCreator
