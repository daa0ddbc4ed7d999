#include "WexoCreator/playback/WPlacement.h"

#include <algorithm>

namespace WexoCreator {

namespace {

// The target's centre lies above the overlay's: the card goes below it.
bool cardGoesBelow(const QRectF &target, const QRectF &overlay)
{
    return overlay.center().y() - target.center().y() > 0;
}

} // namespace

QRectF WPlacement::keptInside(QRectF card, const QRectF &overlay)
{
    if (card.bottom() > overlay.bottom())
        card.moveBottom(overlay.bottom() - kGap);
    if (card.top() < overlay.top())
        card.moveTop(overlay.top() + kGap);
    return card;
}

qreal WPlacement::cardTop(const QRectF &target, qreal height, const QRectF &overlay, qreal belowTop)
{
    if (cardGoesBelow(target, overlay))
        return belowTop;
    return target.center().y() - target.height() - height - kGap;
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
    return keptInside(QRectF(x - w / 2, top, w, h), overlay);
}

QRectF WPlacement::mobileCard(const QRectF &target, qreal descriptionHeight, const QRectF &overlay)
{
    const qreal h = descriptionHeight + kMobileChromeHeight;
    const qreal top = cardTop(target, h, overlay, target.bottom() + kGap);
    return keptInside(QRectF(overlay.center().x() - kMobileWidth / 2, top, kMobileWidth, h), overlay);
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
    return keptInside(QRectF(QPointF(left, top), size), overlay);
}

} // namespace WexoCreator
