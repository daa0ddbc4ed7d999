#include "WexoCreator/views/WPopInEffect.h"

#include "WexoCreator/extensions/WLayoutExtensions.h"
#include "WexoCreator/platform/WSpringAnimation.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

constexpr qreal kStartScale = 0.7;

} // namespace

WPopInEffect::WPopInEffect(QObject *parent)
    : WViewEffect(parent)
{
}

void WPopInEffect::setScale(qreal scale)
{
    if (!std::isfinite(scale) || scale == m_scale)
        return;
    m_scale = std::max(scale, qreal(0));
    setTransform(QTransform::fromScale(m_scale, m_scale));
}

QRectF WPopInEffect::boundingRectFor(const QRectF &rect) const
{
    // The spring overshoots: the card may be drawn beyond its own rectangle.
    return rectScaled(rect, std::max(m_scale, qreal(1)));
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
