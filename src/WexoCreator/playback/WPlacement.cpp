#include "WexoCreator/playback/WPlacement.h"

#include <algorithm>
#include <array>

namespace WexoCreator {

namespace {

// The target's centre lies above the overlay's: the card goes below it.
bool cardGoesBelow(const QRectF &target, const QRectF &overlay)
{
    return overlay.center().y() - target.center().y() > 0;
}

} // namespace

qreal WPlacement::cardTop(const QRectF &target, qreal height, const QRectF &overlay, qreal belowTop)
{
    const qreal aboveTop = target.center().y() - target.height() - height - kGap;
    const bool below = cardGoesBelow(target, overlay);
    const auto fits = [&](qreal top) { return top >= overlay.top() && top + height <= overlay.bottom(); };
    for (const qreal top : below ? std::array{belowTop, aboveTop} : std::array{aboveTop, belowTop}) {
        if (fits(top))
            return top;
    }
    // Neither place is inside the window: between the target and the window's
    // edge, on the first side that holds the card, so the card never hides
    // what the step points at.
    struct Side {
        qreal from, to, top;
    };
    const Side above{overlay.top(), target.top(), aboveTop};
    const Side under{target.bottom(), overlay.bottom(), belowTop};
    for (const Side &side : below ? std::array{under, above} : std::array{above, under}) {
        const qreal room = side.to - side.from;
        if (height > room)
            continue;
        const qreal margin = std::min(kGap, (room - height) / 2);
        return std::clamp(side.top, side.from + margin, side.to - height - margin);
    }
    // No side holds it: against the window's edge on the roomier side, which
    // covers as little of the target as the window allows; a card taller than
    // the window keeps its top inside.
    if (height < overlay.height() && overlay.bottom() - target.bottom() > target.top() - overlay.top())
        return overlay.bottom() - height;
    return overlay.top();
}

QRectF WPlacement::defaultCard(const QRectF &target, const QSizeF &card, const QRectF &overlay)
{
    const qreal w = card.width();
    const qreal h = card.height();
    const qreal mx = target.center().x();
    qreal x = mx;
    // The left rule first: a card wider than the overlay keeps its left edge inside.
    if (mx - w / 2 < overlay.left())
        x = overlay.left() + w / 2 + kGap;
    else if (mx + w / 2 > overlay.right())
        x = overlay.right() - w / 2 - kGap;
    const qreal belowTop = target.center().y() + target.height() + kGap;
    const qreal top = cardTop(target, h, overlay, belowTop);
    return QRectF(x - w / 2, top, w, h);
}

QRectF WPlacement::mobileCard(const QRectF &target, qreal descriptionHeight, const QRectF &overlay)
{
    const qreal h = descriptionHeight + kMobileChromeHeight;
    const qreal top = cardTop(target, h, overlay, target.bottom() + kGap);
    return QRectF(overlay.center().x() - kMobileWidth / 2, top, kMobileWidth, h);
}

QPointF WPlacement::markerAnchor(const QRectF &target, WexoStepView kind)
{
    switch (kind) {
    case WexoStepView::pulseTopRight:
    case WexoStepView::toolTipTopRight:
        return target.topRight();
    case WexoStepView::pulseBottomLeft:
    case WexoStepView::toolTipBottomLeft:
        return target.bottomLeft();
    case WexoStepView::pulseBottomRight:
    case WexoStepView::toolTipBottomRight:
        return target.bottomRight();
    default:
        return target.topLeft();
    }
}

QSizeF WPlacement::templateCardSize(const QSizeF &overlay)
{
    if (overlay.isEmpty())
        return {250, 180};
    const qreal ratio = overlay.width() / overlay.height();
    return {std::clamp(overlay.width() * 60 * ratio / 100, 250.0, 400.0),
            std::clamp(overlay.height() * 20 * ratio / 100, 180.0, 200.0)};
}

QRectF WPlacement::templateCard(const QRectF &target, const QRectF &overlay)
{
    const QSizeF size = templateCardSize(overlay.size());
    const qreal w = size.width();
    const qreal mx = target.center().x();
    qreal left = mx - w / 2;
    if (mx - w / 2 < overlay.left()) {
        left = target.left();
    } else if (mx + w > overlay.right()) {
        // The card's right edge is the target's, and the card stays inside.
        left = std::max(overlay.left(), std::min(target.right(), overlay.right()) - w);
    }
    const qreal top = cardTop(target, size.height(), overlay, target.bottom() + kGap);
    return QRectF(QPointF(left, top), size);
}

} // namespace WexoCreator
