#include "WexoCreator/platform/WGestureTracker.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QMouseEvent>
#include <QWidget>

namespace WexoCreator {

namespace {

QAbstractButton *enabledButtonAt(QWidget *widget)
{
    auto *button = qobject_cast<QAbstractButton *>(widget);
    return button && button->isEnabled() ? button : nullptr;
}

} // namespace

WGestureTracker::WGestureTracker(QWidget *target)
    : QObject(target)
    , m_target(target)
{
    m_longPressTimer.setSingleShot(true);
    m_longPressTimer.setInterval(kLongPressMs);
    connect(&m_longPressTimer, &QTimer::timeout, this, [this] {
        if (m_phase != Phase::Pressed)
            return;
        m_phase = Phase::LongPressed;
        // The press now belongs to the gesture, not to a button under it.
        releaseButtonOf(m_pressedWidget);
        Q_EMIT longPressed();
    });
    watchTree(target);
}

void WGestureTracker::watchTree(QObject *object)
{
    object->installEventFilter(this);
    for (QObject *child : object->children()) {
        if (child->isWidgetType())
            watchTree(child);
    }
}

bool WGestureTracker::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            watchTree(child);
        break;
    }
    case QEvent::MouseButtonPress:
        return handlePress(widget, static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return handleMove(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return handleRelease(widget, static_cast<QMouseEvent *>(event));
    case QEvent::UngrabMouse:
    case QEvent::WindowDeactivate:
        cancelPan();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool WGestureTracker::handlePress(QWidget *widget, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_phase = Phase::Pressed;
    m_pressedWidget = widget;
    m_pressPos = m_lastPos = event->globalPosition();
    m_samples.clear();
    addSample(event);
    m_longPressTimer.start();
    return false;
}

bool WGestureTracker::handleMove(QMouseEvent *event)
{
    if (m_phase == Phase::Idle)
        return false;
    // A move without the button means its release went to someone else.
    if (!(event->buttons() & Qt::LeftButton)) {
        const bool wasPanning = m_phase == Phase::Panning;
        cancelPan();
        m_phase = Phase::Idle;
        return wasPanning;
    }
    const QPointF position = event->globalPosition();
    addSample(event);
    if (m_phase == Phase::Pressed) {
        if ((position - m_pressPos).manhattanLength() <= kMoveThreshold)
            return false;
        m_longPressTimer.stop();
        m_phase = Phase::Panning;
        releaseButtonOf(m_pressedWidget);
        const QPointF delta = position - m_lastPos;
        m_lastPos = position;
        Q_EMIT panned(PanState::Began, delta);
        return true;
    }
    if (m_phase == Phase::Panning) {
        const QPointF delta = position - m_lastPos;
        m_lastPos = position;
        Q_EMIT panned(PanState::Changed, delta);
        return true;
    }
    return true;
}

bool WGestureTracker::handleRelease(QWidget *widget, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_phase == Phase::Idle)
        return false;
    const Phase phase = m_phase;
    m_phase = Phase::Idle;
    m_longPressTimer.stop();
    switch (phase) {
    case Phase::Panning: {
        addSample(event);
        const QPointF delta = event->globalPosition() - m_lastPos;
        Q_EMIT panned(PanState::Ended, delta);
        return true;
    }
    case Phase::LongPressed:
        releaseButtonOf(widget);
        return true;
    case Phase::Pressed:
        // A button inside handles its own tap.
        if (enabledButtonAt(widget))
            return false;
        Q_EMIT tapped();
        return false;
    case Phase::Idle:
        break;
    }
    return false;
}

void WGestureTracker::cancelPan()
{
    m_longPressTimer.stop();
    if (m_phase != Phase::Panning)
        return;
    m_phase = Phase::Idle;
    Q_EMIT panned(PanState::Cancelled, QPointF());
}

void WGestureTracker::addSample(const QMouseEvent *event)
{
    const Sample sample{event->timestamp(), event->globalPosition()};
    m_samples.append(sample);
    while (m_samples.size() > 2 && sample.time - m_samples.constFirst().time > quint64(kVelocityWindowMs))
        m_samples.removeFirst();
}

QPointF WGestureTracker::velocity() const
{
    if (m_samples.size() < 2)
        return {};
    const Sample &first = m_samples.constFirst();
    const Sample &last = m_samples.constLast();
    if (last.time <= first.time)
        return {};
    return (last.position - first.position) * (1000.0 / double(last.time - first.time));
}

void WGestureTracker::releaseButtonOf(QWidget *widget)
{
    if (QAbstractButton *button = enabledButtonAt(widget))
        button->setDown(false);
}

} // namespace WexoCreator
