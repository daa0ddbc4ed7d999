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

    // The animation is made from these when the set-up comes back to the main
    // thread; a change afterwards applies to the animation running then. Each
    // cycle lasts animationDuration + nextPulseAfter seconds: the pulse runs
    // for animationDuration and then rests, unseen, for nextPulseAfter.
    float numberOfPulses() const { return m_numberOfPulses; }
    void setNumberOfPulses(float count);
    qreal initialPulseScale() const { return m_initialPulseScale; }
    void setInitialPulseScale(qreal scale) { m_initialPulseScale = scale; }
    qreal nextPulseAfter() const { return m_nextPulseAfter; }
    void setNextPulseAfter(qreal seconds);
    qreal animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(qreal seconds);
    // The disc's radius; it keeps its centre.
    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

    void setCentre(QPointF position);

    // One cycle's progress, 0 to 1. Null until the set-up has come back to the
    // main thread. Another animation set here takes over, started if it is
    // not running yet; the pulse deletes itself when that one stops, or when
    // its animation is taken away (null).
    QVariantAnimation *animation() const { return m_animation; }
    void setAnimation(QVariantAnimation *animation);
    qreal currentScale() const { return m_scale; }
    qreal currentOpacity() const { return m_opacity; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static int loopCountFor(float numberOfPulses);
    int cycleMs() const;
    void attach();
    // Duration and repeat count of the running animation, from the properties.
    void retime();
    void showFrame(qreal cycleProgress);

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
