#pragma once

#include <QColor>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <limits>



namespace WexoCreator {

// A disc in the pulse colour that grows from nothing to its radius while it
// flares up and fades out, again and again. It takes no clicks. The animation
// is set up on the thread pool and started on the main thread; when it stops,
// for whatever reason, the pulse deletes itself.
class WPulse : public QWidget
{
    Q_OBJECT

public:
    // position: the disc's centre in the parent's coordinates. A count that is
    // infinite (or beyond what a loop count holds) repeats without end.
    WPulse(float numberOfPulses, qreal radius, QPointF position, QWidget *parent);
    WPulse(qreal radius, QPointF position, QWidget *parent);

    float numberOfPulses() const { return m_numberOfPulses; }
    qreal radius() const { return m_radius; }
    qreal initialPulseScale() const { return m_initialPulseScale; }
    qreal nextPulseAfter() const { return m_nextPulseAfter; }
    qreal animationDuration() const { return m_animationDuration; }

    void setCentre(QPointF position);

    // Null until the set-up has come back to the main thread.
    QVariantAnimation *animation() const { return m_animation; }
    qreal currentScale() const { return m_scale; }
    qreal currentOpacity() const { return m_opacity; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Timing {
        int cycleMs;
        int loopCount;
    };
    static Timing makeTiming(float numberOfPulses, int cycleMs);
    void attach(Timing timing);
    void showFrame(qreal progress);

    float m_numberOfPulses;
    qreal m_radius;
    qreal m_initialPulseScale = 0;
    qreal m_nextPulseAfter = 0;
    qreal m_animationDuration = 0.75;
    QColor m_color;
    qreal m_scale;
    qreal m_opacity;
    QPointer<QVariantAnimation> m_animation;
};

} // namespace WexoCreator
