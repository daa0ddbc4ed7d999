#pragma once

#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/recording/FrameViewDelegate.h"

#include <QLineF>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

class QFontMetricsF;
class QLabel;

namespace WexoCreator {

class CrossHairView;

// The inspector's transparent layer over the host window: it takes the
// touches and reports each point to its delegate, and it outlines the current
// pick (blue, or red when the pick sits at a fractional offset in its parent)
// or, while rectsToOutline holds rectangles, all of those at once in random
// colours.
class FrameView : public QWidget
{
    Q_OBJECT

public:
    // The delegate is held weakly when it is a QObject.
    FrameView(const QRect &frame, FrameViewDelegate *delegate, QWidget *parent);

    // In this view's coordinates; while not empty it replaces the pick outline.
    QList<QRectF> rectsToOutline;
    // Draws the pick's distances to its parent's edges with the outline.
    bool showLines = false;

    // One distance guide: a dashed line (absent when the parent does not
    // reach past the pick on that side) and its label, whose top-left corner
    // is labelOrigin.
    struct Guide {
        std::optional<QLineF> line;
        QString text;
        QPointF labelOrigin;
    };
    // The left, right, top and bottom guides, labels measured with `metrics`.
    static QList<Guide> distanceGuides(const QRectF &mainRect, const QRectF &superRect, const QFontMetricsF &metrics);

    std::optional<QRectF> mainRect() const { return m_mainRect; }
    std::optional<QRectF> superRect() const { return m_superRect; }
    void setMainRect(const QRectF &rect);
    void setSuperRect(const QRectF &rect);

    // Red when the pick's offset in its parent is fractional, blue otherwise.
    static bool isFractional(const QRectF &mainRect, const QRectF &superRect);

    // A move of a press that began elsewhere (the launcher's crosshair drag),
    // at a location in this view's coordinates: handled like a move of this
    // view's own press.
    void touchesMoved(const QPointF &location);

    QLabel *touchPointLabel() const { return m_touchPointLabel; }
    CrossHairView *touchPointView() const { return m_touchPointView; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    FrameViewDelegate *delegate() const;
    // Places the label and the marker at the touch and returns the point
    // reported for it.
    QPointF placeTouchMarkers(const QPointF &location);

    WWeakDelegate<FrameViewDelegate> m_delegate;
    QLabel *m_touchPointLabel = nullptr;
    CrossHairView *m_touchPointView = nullptr;
    std::optional<QRectF> m_mainRect;
    std::optional<QRectF> m_superRect;
};

} // namespace WexoCreator
