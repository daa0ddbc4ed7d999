#include "WexoCreator/views/WPulse.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WTiming.h"

#include <QPainter>
#include <QThreadPool>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

// Opacity over one pulse: 0.4 to 0.8 in its first fifth, then down to nothing.
qreal opacityAt(qreal progress)
{
    if (progress < 0.2)
        return 0.4 + (0.8 - 0.4) * (progress / 0.2);
    return 0.8 * (1 - (progress - 0.2) / 0.8);
}

} // namespace

WPulse::WPulse(float numberOfPulses, qreal radius, QPointF position, QWidget *parent)
    : QWidget(parent)
    , m_numberOfPulses(numberOfPulses)
    , m_radius(std::isfinite(radius) ? std::max(radius, qreal(0)) : qreal(0))
    , m_color(WConfiguration::kPulsePrimaryColor())
    , m_scale(1)
    , m_opacity(1)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setCentre(position);

    const QPointer<WPulse> self(this);
    // The set-up goes through the thread pool and comes back later on the main
    // thread, where the animation is made from the properties as they are then.
    QThreadPool::globalInstance()->start([self]() mutable {
        WPerform::onMainThread([self = std::move(self)] {
            if (self)
                self->attach();
        });
    });
}

WPulse::WPulse(qreal radius, QPointF position, QWidget *parent)
    : WPulse(std::numeric_limits<float>::max(), radius, position, parent)
{
}

int WPulse::loopCountFor(float numberOfPulses)
{
    if (std::isnan(numberOfPulses) || numberOfPulses <= 0)
        return 0;
    if (numberOfPulses < float(std::numeric_limits<int>::max()))
        return int(std::ceil(numberOfPulses));
    return -1;
}

int WPulse::cycleMs() const
{
    return std::max(1, WTiming::ms(std::max(m_animationDuration, qreal(0)) + std::max(m_nextPulseAfter, qreal(0))));
}

void WPulse::setNumberOfPulses(float count)
{
    m_numberOfPulses = count;
    retime();
}

void WPulse::setNextPulseAfter(qreal seconds)
{
    m_nextPulseAfter = std::isfinite(seconds) ? seconds : 0;
    retime();
}

void WPulse::setAnimationDuration(qreal seconds)
{
    m_animationDuration = std::isfinite(seconds) ? seconds : 0;
    retime();
}

void WPulse::setRadius(qreal radius)
{
    const QPointF centre = QRectF(geometry()).center();
    m_radius = std::isfinite(radius) ? std::max(radius, qreal(0)) : qreal(0);
    setCentre(centre);
    update();
}

void WPulse::setCentre(QPointF position)
{
    // Odd, so the disc centres on the middle of an odd-sized marker.
    const int side = int(std::ceil(2 * m_radius)) | 1;
    setGeometry(QRectF(position.x() - side / 2.0, position.y() - side / 2.0, side, side).toRect());
}

void WPulse::attach()
{
    if (m_animation)
        return;
    if (loopCountFor(m_numberOfPulses) == 0) {
        deleteLater();
        return;
    }
    setAnimation(new QVariantAnimation(this));
}

void WPulse::setAnimation(QVariantAnimation *animation)
{
    if (animation == m_animation)
        return;
    if (QVariantAnimation *old = m_animation) {
        m_animation = nullptr;
        old->disconnect(this);
        old->stop();
        old->deleteLater();
    }
    // A pulse without its animation would stay on screen, frozen mid-pulse.
    if (!animation) {
        deleteLater();
        return;
    }
    animation->setParent(this);
    m_animation = animation;
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    retime();
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) { showFrame(value.toDouble()); });
    connect(animation, &QAbstractAnimation::stateChanged, this, [this](QAbstractAnimation::State state) {
        if (state == QAbstractAnimation::Stopped)
            deleteLater();
    });
    showFrame(0);
    if (animation->state() != QAbstractAnimation::Running)
        animation->start();
}

void WPulse::retime()
{
    if (!m_animation)
        return;
    m_animation->setDuration(cycleMs());
    const int loops = loopCountFor(m_numberOfPulses);
    // No pulses left: the animation ends, and the pulse with it.
    if (loops == 0)
        m_animation->stop();
    else
        m_animation->setLoopCount(loops);
}

void WPulse::showFrame(qreal cycleProgress)
{
    // The pulse takes the first animationDuration of the cycle and then rests
    // at its end (full size, transparent) for nextPulseAfter.
    const qreal duration = std::max(m_animationDuration, qreal(0));
    const qreal cycle = duration + std::max(m_nextPulseAfter, qreal(0));
    const qreal pulse = duration > 0 && cycle > 0 ? std::clamp(cycleProgress * cycle / duration, qreal(0), qreal(1)) : 1;
    static const QEasingCurve curve = [] {
        QEasingCurve easing(QEasingCurve::BezierSpline);
        easing.addCubicBezierSegment(QPointF(0.25, 0.1), QPointF(0.25, 1.0), QPointF(1.0, 1.0));
        return easing;
    }();
    const qreal eased = curve.valueForProgress(pulse);
    m_scale = m_initialPulseScale + (1 - m_initialPulseScale) * eased;
    m_opacity = opacityAt(std::clamp(eased, qreal(0), qreal(1)));
    update();
}

void WPulse::paintEvent(QPaintEvent *)
{
    if (m_radius <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    const qreal r = m_radius * m_scale;
    painter.drawEllipse(QRectF(rect()).center(), r, r);
}

} // namespace WexoCreator
