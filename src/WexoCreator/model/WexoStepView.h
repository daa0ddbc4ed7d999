#pragma once

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

inline std::optional<WexoStepView> wexoStepViewFromRawValue(int rawValue)
{
    if (rawValue < static_cast<int>(WexoStepView::bannerTop) || rawValue > static_cast<int>(WexoStepView::toolTipBottomRight))
        return std::nullopt;
    return static_cast<WexoStepView>(rawValue);
}

inline int rawValue(WexoStepView view)
{
    return static_cast<int>(view);
}

} // namespace WexoCreator
