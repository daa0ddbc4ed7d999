#include "WexoCreator/platform/WSpringAnimation.h"

#include "WexoCreator/platform/WTiming.h"

#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

// How far the swing has died down when the duration is over.
constexpr qreal kSettled = 1e-4;

template <typename T>
T lerp(const T &from, const T &to, qreal f)
{
    return from + (to - from) * f;
}

QRectF lerp(const QRectF &from, const QRectF &to, qreal f)
{
    return QRectF(lerp(from.topLeft(), to.topLeft(), f), lerp(from.bottomRight(), to.bottomRight(), f));
}

} // namespace

WSpringAnimation::WSpringAnimation(qreal durationSeconds, qreal damping, qreal velocity, QObject *parent)
    : QVariantAnimation(parent)
    , m_duration(std::isfinite(durationSeconds) && durationSeconds > 0 ? durationSeconds : 0.0)
    , m_damping(damping)
    , m_velocity(velocity)
{
    setDuration(WTiming::ms(m_duration));
}

qreal WSpringAnimation::springValue(qreal t, qreal durationSeconds, qreal damping, qreal velocity)
{
    if (!(durationSeconds > 0) || !(t < durationSeconds))
        return 1.0;
    if (!(t > 0))
        return 0.0;
    const qreal zeta = std::isfinite(damping) ? std::max(damping, qreal(0.01)) : qreal(1);
    const qreal v = std::isfinite(velocity) ? velocity : qreal(0);
    if (zeta < 1) {
        // Natural frequency chosen so the envelope has died to kSettled at the end.
        const qreal omega = std::log(1 / kSettled) / (zeta * durationSeconds);
        const qreal omegaD = omega * std::sqrt(1 - zeta * zeta);
        const qreal b = (zeta * omega - v) / omegaD;
        return 1 - std::exp(-zeta * omega * t) * (std::cos(omegaD * t) + b * std::sin(omegaD * t));
    }
    // Critically damped (an overdamped spring is taken as critical): no overshoot
    // unless the start velocity carries it over.
    const qreal omega = 12 / durationSeconds;
    return 1 - std::exp(-omega * t) * (1 + (omega - v) * t);
}

QVariant WSpringAnimation::interpolated(const QVariant &from, const QVariant &to, qreal progress) const
{
    const qreal f = springValue(progress * m_duration, m_duration, m_damping, m_velocity);
    switch (from.typeId()) {
    case QMetaType::QRect:
        return lerp(QRectF(from.toRect()), QRectF(to.toRect()), f).toRect();
    case QMetaType::QRectF:
        return lerp(from.toRectF(), to.toRectF(), f);
    case QMetaType::QPoint:
        return lerp(QPointF(from.toPoint()), QPointF(to.toPoint()), f).toPoint();
    case QMetaType::QPointF:
        return lerp(from.toPointF(), to.toPointF(), f);
    default:
        return lerp(from.toDouble(), to.toDouble(), f);
    }
}

} // namespace WexoCreator
