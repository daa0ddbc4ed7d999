#pragma once

#include <QGraphicsOpacityEffect>
#include <QTransform>

class QWidget;

namespace WexoCreator {

// The one effect the library gives a widget to draw it moved, scaled or faded
// without touching its geometry: its opacity, and a transform taken about the
// widget's centre (the way a view's transform applies). Only the drawing moves:
// clicks still land on the widget's own, untransformed rectangle.
class WViewEffect : public QGraphicsOpacityEffect
{
    Q_OBJECT

public:
    explicit WViewEffect(QObject *parent = nullptr);

    QTransform transform() const { return m_transform; }
    void setTransform(const QTransform &transform);

    // The widget's own library effect, made when it has none or only a plain
    // opacity effect (whose opacity it keeps). Null, with a warning, when the
    // widget is already drawn through another kind of effect.
    static WViewEffect *of(QWidget *widget);

protected:
    QRectF boundingRectFor(const QRectF &rect) const override;
    void draw(QPainter *painter) override;

private:
    // The transform taken about a point: the widget's centre.
    QTransform about(QPointF centre) const;

    QTransform m_transform;
};

} // namespace WexoCreator
