#include "WexoCreator/platform/WHeldKeyGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>

namespace WexoCreator {

namespace {

bool isKeyEvent(QEvent::Type type)
{
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
}

} // namespace

void WHeldKeyGuard::hold(const QKeyEvent *press)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || !press)
        return;
    static QPointer<WHeldKeyGuard> guard;
    if (!guard)
        guard = new WHeldKeyGuard(app);
    QList<HeldKey> &keys = guard->m_keys;
    keys.removeIf([press](const HeldKey &held) { return held.isKeyOf(press); });
    keys.append(HeldKey{press->key(), press->nativeScanCode(), press->timestamp(), false});
    // Installing again puts it ahead of every other application filter, so a
    // filter that keeps the host's keys never hides a release from it.
    app->installEventFilter(guard);
}

bool WHeldKeyGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!isKeyEvent(event->type()))
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<const QKeyEvent *>(event);
    const auto found = std::find_if(m_keys.begin(), m_keys.end(), [key](const HeldKey &held) { return held.isKeyOf(key); });
    if (found == m_keys.end()) {
        // Nothing comes between the release and the press of a repeat: a
        // release that another key follows was the real one.
        forgetReleased();
        return false;
    }
    if (event->type() == QEvent::KeyRelease) {
        found->released = !key->isAutoRepeat();
        found->timestamp = key->timestamp();
        return true;
    }
    // Synthesised events may carry no time at all: two of them are not one.
    const bool repeat = key->isAutoRepeat() || (key->timestamp() != 0 && key->timestamp() == found->timestamp);
    if (!repeat) {
        forget(found - m_keys.begin());
        return false;
    }
    found->released = false;
    // A taken override keeps the host's shortcuts from firing on the repeat.
    event->accept();
    return true;
}

bool WHeldKeyGuard::HeldKey::isKeyOf(const QKeyEvent *event) const
{
    return event->key() == key && event->nativeScanCode() == nativeScanCode;
}

void WHeldKeyGuard::forget(qsizetype index)
{
    m_keys.remove(index);
    if (m_keys.isEmpty())
        QCoreApplication::instance()->removeEventFilter(this);
}

void WHeldKeyGuard::forgetReleased()
{
    if (m_keys.removeIf([](const HeldKey &held) { return held.released; }) && m_keys.isEmpty())
        QCoreApplication::instance()->removeEventFilter(this);
}

} // namespace WexoCreator
