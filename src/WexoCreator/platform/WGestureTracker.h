#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QMouseEvent;

namespace WexoCreator {

// Tap, long press and pan on one widget and everything inside it, from plain
// mouse events. A press that moves more than a few pixels is a pan; one held
// still long enough is a long press, reported once per press. A tap on a
// button inside is left to the button, as the platform's controls win over
// the gestures of the view around them.
class WGestureTracker : public QObject
{
    Q_OBJECT

public:
    // Cancelled: the press was lost before its release (the grab went
    // elsewhere); whoever follows the pan leaves things where they are.
    enum class PanState { Began, Changed, Ended, Cancelled };

    static constexpr int kMoveThreshold = 4;
    static constexpr int kLongPressMs = 1000;
    // Velocity is measured over the moves of this last stretch of time.
    static constexpr int kVelocityWindowMs = 100;

    explicit WGestureTracker(QWidget *target);

    QWidget *target() const { return m_target; }
    // The widget the current (or last) press landed on.
    QWidget *pressedWidget() const { return m_pressedWidget; }
    // Pixels per second over the last moves, from the events' time stamps;
    // zero without two moves at distinct times.
    QPointF velocity() const;

Q_SIGNALS:
    void tapped();
    void longPressed();
    // delta: the movement since the previous report, in global pixels.
    void panned(WexoCreator::WGestureTracker::PanState state, QPointF delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Phase { Idle, Pressed, Panning, LongPressed };

    void watchTree(QObject *object);
    bool handlePress(QWidget *widget, QMouseEvent *event);
    bool handleMove(QMouseEvent *event);
    bool handleRelease(QWidget *widget, QMouseEvent *event);
    void releaseButtonOf(QWidget *widget);
    void addSample(const QMouseEvent *event);
    void cancelPan();

    struct Sample {
        quint64 time;
        QPointF position;
    };

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_pressedWidget;
    QTimer m_longPressTimer;
    Phase m_phase = Phase::Idle;
    QPointF m_pressPos;
    QPointF m_lastPos;
    QList<Sample> m_samples;
};

} // namespace WexoCreator
