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

    const float count = m_numberOfPulses;
    const int cycleMs = std::max(1, WTiming::ms(m_animationDuration + m_nextPulseAfter));
    const QPointer<WPulse> self(this);
    // The animation is made ready off the main thread; only plain values cross
    // back, and the pulse is looked at again on the main thread alone.
    QThreadPool::globalInstance()->start([self, count, cycleMs]() mutable {
        const Timing timing = makeTiming(count, cycleMs);
        WPerform::onMainThread([self = std::move(self), timing] {
            if (self)
                self->attach(timing);
        });
    });
}

WPulse::WPulse(qreal radius, QPointF position, QWidget *parent)
    : WPulse(std::numeric_limits<float>::max(), radius, position, parent)
{
}

WPulse::Timing WPulse::makeTiming(float numberOfPulses, int cycleMs)
{
    Timing timing{cycleMs, -1};
    if (std::isnan(numberOfPulses) || numberOfPulses <= 0)
        timing.loopCount = 0;
    else if (numberOfPulses < float(std::numeric_limits<int>::max()))
        timing.loopCount = int(std::ceil(numberOfPulses));
    return timing;
}

void WPulse::setCentre(QPointF position)
{
    // Odd, so the disc centres on the middle of an odd-sized marker.
    const int side = int(std::ceil(2 * m_radius)) | 1;
    setGeometry(QRectF(position.x() - side / 2.0, position.y() - side / 2.0, side, side).toRect());
}

void WPulse::attach(Timing timing)
{
    if (timing.loopCount == 0) {
        deleteLater();
        return;
    }
    auto *animation = new QVariantAnimation(this);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.25, 0.1), QPointF(0.25, 1.0), QPointF(1.0, 1.0));
    animation->setEasingCurve(curve);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(timing.cycleMs);
    animation->setLoopCount(timing.loopCount);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) { showFrame(value.toDouble()); });
    connect(animation, &QAbstractAnimation::stateChanged, this, [this](QAbstractAnimation::State state) {
        if (state == QAbstractAnimation::Stopped)
            deleteLater();
    });
    m_animation = animation;
    showFrame(0);
    animation->start();
}

void WPulse::showFrame(qreal progress)
{
    m_scale = m_initialPulseScale + (1 - m_initialPulseScale) * progress;
    m_opacity = opacityAt(std::clamp(progress, qreal(0), qreal(1)));
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
