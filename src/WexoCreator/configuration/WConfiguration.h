#pragma once

#include <QString>

namespace WexoCreator {

// Built-in constants of the appearance configuration: the last fallback when
// neither the downloaded theme nor the default theme gives a value.
struct WConfiguration {
    static inline const QString wTypeIcon = QStringLiteral("wexoIcon");
    static inline const QString wPreferences = QStringLiteral("widget");
    static inline const QString wConsolePlacement = QStringLiteral("left");
    static inline const QString wText = QStringLiteral("Help");
};

} // namespace WexoCreator
