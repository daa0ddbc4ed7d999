#pragma once

#include <QtGlobal>

#include <optional>

namespace WexoCreator {

// How a step is shown. The numbers are the kinds' stable raw values.
enum class WexoStepView : int {
    bannerTop = 0,
    bannerBottom = 1,
    popover = 2,
    screen = 3,
    pulseTopLeft = 4,
    pulseTopRight = 5,
    pulseBottomLeft = 6,
    pulseBottomRight = 7,
    toolTipTopLeft = 8,
    toolTipTopRight = 9,
    toolTipBottomLeft = 10,
    toolTipBottomRight = 11,
};

// Any 64-bit number: one outside 0...11 is no kind, however it would narrow.
inline std::optional<WexoStepView> wexoStepViewFromRawValue(qint64 rawValue)
{
    if (rawValue < static_cast<qint64>(WexoStepView::bannerTop) || rawValue > static_cast<qint64>(WexoStepView::toolTipBottomRight))
        return std::nullopt;
    return static_cast<WexoStepView>(rawValue);
}

inline qint64 rawValue(WexoStepView view)
{
    return static_cast<qint64>(view);
}

} // namespace WexoCreator
