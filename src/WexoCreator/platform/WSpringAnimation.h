#pragma once

#include <QVariantAnimation>

namespace WexoCreator {

// A spring: the value runs from the start value towards the end value as a
// damped oscillator of the given damping ratio and initial velocity (in whole
// distances per second) that settles within the duration. Time runs linearly;
// the oscillator shapes the value, since a QEasingCurve cannot carry the
// spring's parameters. Handles qreal, QPointF, QPoint, QRectF and QRect values.
// The duration is given unscaled and runs through WTiming.
class WSpringAnimation : public QVariantAnimation
{
    Q_OBJECT

public:
    WSpringAnimation(qreal durationSeconds, qreal damping, qreal velocity, QObject *parent = nullptr);

    // The oscillator's position at t seconds: 0 at t = 0, exactly 1 from the
    // duration on. A damping ratio below 1 overshoots.
    static qreal springValue(qreal t, qreal durationSeconds, qreal damping, qreal velocity);

protected:
    QVariant interpolated(const QVariant &from, const QVariant &to, qreal progress) const override;

private:
    qreal m_duration;
    qreal m_damping;
    qreal m_velocity;
};

} // namespace WexoCreator
