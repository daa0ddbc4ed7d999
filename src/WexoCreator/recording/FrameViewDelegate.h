#pragma once

#include <QPointF>

namespace WexoCreator {

// Receives the touches of the outline view, in the outline view's coordinates.
// A press reports touchAtPoint once; each move of that press reports
// touchMovedToPoint, so the receiver can follow the finger without treating
// every move as a new press.
class FrameViewDelegate
{
public:
    virtual ~FrameViewDelegate() = default;
    virtual void touchAtPoint(const QPointF &point) = 0;
    virtual void touchMovedToPoint(const QPointF &point) = 0;
};

} // namespace WexoCreator
