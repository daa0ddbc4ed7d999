#pragma once

#include "WexoCreator/model/WexoStepView.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace WexoCreator {

// Where the step views go beside their target. Everything is in the overlay's
// own coordinates: `overlay` is its rectangle, `target` the target's.
struct WPlacement {
    static constexpr qreal kGap = 10;
    static constexpr qreal kMobileWidth = 300;
    // What the mobile card adds to its description's height.
    static constexpr qreal kMobileChromeHeight = 130;

    // The default card: beside the target horizontally, below a target whose
    // centre lies above the overlay's, above it otherwise.
    static QRectF defaultCard(const QRectF &target, const QSizeF &card, const QRectF &overlay);
    // The mobile card: 300 wide, centred on the overlay.
    static QRectF mobileCard(const QRectF &target, qreal descriptionHeight, const QRectF &overlay);
    // The pointer marker's anchor: the target's corner that the kind names.
    static QPointF markerAnchor(const QRectF &target, WexoStepView kind);
    // The template card: its size follows the overlay's size and shape.
    static QSizeF templateCardSize(const QSizeF &overlay);
    static QRectF templateCard(const QRectF &target, const QRectF &overlay);

private:
    // Top of a card of this height: below the target's edge, or above it by the
    // target's height (the gap counted from the target's centre). Where that
    // crosses the overlay's edge the other side is tried, then the room between
    // the target and the overlay's edge; only a card that fits nowhere covers
    // part of its target.
    static qreal cardTop(const QRectF &target, qreal height, const QRectF &overlay, qreal belowTop);
};

} // namespace WexoCreator
