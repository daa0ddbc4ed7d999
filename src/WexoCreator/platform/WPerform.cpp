#include "WexoCreator/platform/WPerform.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace WexoCreator {

namespace {

int toMilliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    return static_cast<int>(std::min(seconds * 1000.0, double(std::numeric_limits<int>::max())));
}

} // namespace

void WPerform::onMainThread(std::function<void()> block)
{
    if (!block || !QCoreApplication::instance())
        return;
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(block), Qt::QueuedConnection);
}

void WPerform::delay(double seconds, std::function<void()> closure)
{
    delay(seconds, QCoreApplication::instance(), std::move(closure));
}

void WPerform::delay(double seconds, QObject *context, std::function<void()> closure)
{
    if (!closure || !context)
        return;
    const int ms = toMilliseconds(seconds);
    QPointer<QObject> guard(context);
    // Hop first so the timer is started on the main thread whatever thread calls.
    onMainThread([guard, ms, closure = std::move(closure)]() mutable {
        if (!guard)
            return;
        QTimer::singleShot(ms, guard.data(), std::move(closure));
    });
}

} // namespace WexoCreator
