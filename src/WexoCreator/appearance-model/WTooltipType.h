#pragma once

#include <QtGlobal>

#include <optional>

namespace WexoCreator {

// The glyph on the pointer marker: "?" or "i".
enum class WTooltipType : qint64 {
    questionMark = 0,
    iMark = 1,
};

inline std::optional<WTooltipType> tooltipTypeFromRawValue(qint64 rawValue)
{
    switch (rawValue) {
    case qint64(WTooltipType::questionMark):
        return WTooltipType::questionMark;
    case qint64(WTooltipType::iMark):
        return WTooltipType::iMark;
    default:
        return std::nullopt;
    }
}

inline qint64 rawValue(WTooltipType type)
{
    return qint64(type);
}

} // namespace WexoCreator
