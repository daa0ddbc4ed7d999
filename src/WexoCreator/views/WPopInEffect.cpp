#include "WexoCreator/views/WPopInEffect.h"

#include "WexoCreator/extensions/WLayoutExtensions.h"
#include "WexoCreator/platform/WSpringAnimation.h"

#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

constexpr qreal kStartScale = 0.7;

} // namespace

WPopInEffect::WPopInEffect(QObject *parent)
    : QGraphicsEffect(parent)
{
}

void WPopInEffect::setScale(qreal scale)
{
    if (!std::isfinite(scale) || scale == m_scale)
        return;
    m_scale = std::max(scale, qreal(0));
    updateBoundingRect();
    update();
}

QRectF WPopInEffect::boundingRectFor(const QRectF &rect) const
{
    // The spring overshoots: the card may be drawn beyond its own rectangle.
    return rectScaled(rect, std::max(m_scale, qreal(1)));
}

void WPopInEffect::draw(QPainter *painter)
{
    if (m_scale == 1) {
        drawSource(painter);
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    if (pixmap.isNull())
        return;
    const QPointF centre = sourceBoundingRect(Qt::LogicalCoordinates).center();
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(centre);
    painter->scale(m_scale, m_scale);
    painter->translate(-centre);
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

WPopInEffect *WPopInEffect::popIn(QWidget *card)
{
    if (!card)
        return nullptr;
    auto *effect = new WPopInEffect;
    effect->setScale(kStartScale);
    card->setGraphicsEffect(effect);
    auto *spring = new WSpringAnimation(2.0, 0.2, 6.0, card);
    spring->setStartValue(kStartScale);
    spring->setEndValue(1.0);
    const QPointer<WPopInEffect> guard(effect);
    connect(spring, &QVariantAnimation::valueChanged, effect, [guard](const QVariant &value) {
        if (guard)
            guard->setScale(value.toDouble());
    });
    connect(spring, &QVariantAnimation::finished, card, [card, guard] {
        if (guard && card->graphicsEffect() == guard)
            card->setGraphicsEffect(nullptr);
    });
    spring->start(QAbstractAnimation::DeleteWhenStopped);
    return effect;
}

} // namespace WexoCreator
