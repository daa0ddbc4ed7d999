#include "WexoCreator/extensions/WViewEffect.h"

#include "WexoCreator/platform/WLogging.h"

#include <QPainter>
#include <QWidget>

namespace WexoCreator {

WViewEffect::WViewEffect(QObject *parent)
    : QGraphicsOpacityEffect(parent)
{
    // Opaque until told otherwise (a plain opacity effect starts at 0.7).
    setOpacity(1.0);
}

void WViewEffect::setTransform(const QTransform &transform)
{
    if (transform == m_transform)
        return;
    m_transform = transform;
    updateBoundingRect();
    update();
}

WViewEffect *WViewEffect::of(QWidget *widget)
{
    if (!widget)
        return nullptr;
    QGraphicsEffect *current = widget->graphicsEffect();
    if (auto *own = qobject_cast<WViewEffect *>(current))
        return own;
    auto *plain = qobject_cast<QGraphicsOpacityEffect *>(current);
    if (current && !plain) {
        qCWarning(lcViews) << "the widget is already drawn through another effect" << widget;
        return nullptr;
    }
    auto *effect = new WViewEffect(widget);
    if (plain)
        effect->setOpacity(plain->opacity());
    // Replaces (and deletes) a plain opacity effect.
    widget->setGraphicsEffect(effect);
    return effect;
}

QTransform WViewEffect::about(QPointF centre) const
{
    return QTransform::fromTranslate(-centre.x(), -centre.y()) * m_transform
        * QTransform::fromTranslate(centre.x(), centre.y());
}

QRectF WViewEffect::boundingRectFor(const QRectF &rect) const
{
    // The rectangle is the widget's, in whatever coordinates Qt asks in.
    return about(rect.center()).mapRect(rect);
}

void WViewEffect::draw(QPainter *painter)
{
    if (m_transform.isIdentity()) {
        QGraphicsOpacityEffect::draw(painter);
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    if (pixmap.isNull())
        return;
    painter->save();
    painter->setOpacity(painter->opacity() * opacity());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setWorldTransform(about(sourceBoundingRect(Qt::LogicalCoordinates).center()), true);
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

} // namespace WexoCreator
