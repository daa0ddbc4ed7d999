#include "WexoCreator/platform/WLogging.h"

namespace WexoCreator {

Q_LOGGING_CATEGORY(lcPlatform, "wexo.platform", QtInfoMsg)
Q_LOGGING_CATEGORY(lcModel, "wexo.model", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAppearance, "wexo.appearance", QtInfoMsg)
Q_LOGGING_CATEGORY(lcBackend, "wexo.backend", QtInfoMsg)
Q_LOGGING_CATEGORY(lcService, "wexo.service", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConfiguration, "wexo.configuration", QtInfoMsg)
Q_LOGGING_CATEGORY(lcManager, "wexo.manager", QtInfoMsg)
Q_LOGGING_CATEGORY(lcViews, "wexo.views", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayback, "wexo.playback", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMenu, "wexo.menu", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRecording, "wexo.recording", QtInfoMsg)

void setDebugLogging(bool enabled)
{
    for (const QLoggingCategory *category : {&lcPlatform(), &lcModel(), &lcAppearance(), &lcBackend(), &lcService(),
                                             &lcConfiguration(), &lcManager(), &lcViews(), &lcPlayback(),
                                             &lcMenu(), &lcRecording()}) {
        const_cast<QLoggingCategory *>(category)->setEnabled(QtDebugMsg, enabled);
    }
}

} // namespace WexoCreator
