#pragma once

#include <QString>

#include <array>
#include <optional>

namespace WexoCreator {

// The kind of a menu row, and at the same time the library's recording mode.
// An absent type (std::nullopt) is a state of its own beside `none`.
enum class WexoOptionType {
    record,
    play,
    about,
    support,
    stopRecord,
    pauseRecord,
    resumeRecord,
    screen,
    element,
    exit,
    privacy,
    none,
    refresh,
    poweredBy,
};

namespace WexoOptionTypeNames {
inline constexpr std::array<const char *, 14> rawValues = {
    "record", "play", "about", "support", "stopRecord", "pauseRecord", "resumeRecord",
    "screen", "element", "exit", "privacy", "none", "refresh", "poweredBy",
};
} // namespace WexoOptionTypeNames

inline QString rawValue(WexoOptionType type)
{
    return QString::fromLatin1(WexoOptionTypeNames::rawValues.at(static_cast<std::size_t>(type)));
}

// Exact, case-sensitive match of the raw text; anything else is absent.
inline std::optional<WexoOptionType> wexoOptionTypeFromRawValue(const QString &text)
{
    for (std::size_t i = 0; i < WexoOptionTypeNames::rawValues.size(); ++i) {
        if (text == QLatin1String(WexoOptionTypeNames::rawValues[i]))
            return static_cast<WexoOptionType>(i);
    }
    return std::nullopt;
}

} // namespace WexoCreator
