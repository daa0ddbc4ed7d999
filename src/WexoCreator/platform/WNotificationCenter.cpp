#include "WexoCreator/platform/WNotificationCenter.h"

namespace WexoCreator {

WNotificationCenter &WNotificationCenter::defaultCenter()
{
    static WNotificationCenter center;
    return center;
}

void WNotificationCenter::addObserver(const QString &name, QObject *context, Handler handler)
{
    if (!context || !handler)
        return;
    prune();
    m_observers.append({m_nextId++, name, context, std::move(handler)});
}

void WNotificationCenter::removeObserver(QObject *context, const QString &name)
{
    m_observers.removeIf([&](const Observer &o) {
        return o.context.isNull() || (o.context == context && (name.isEmpty() || o.name == name));
    });
}

void WNotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    prune();
    // Observers may add or remove observers (or destroy contexts) while being
    // called, so walk a snapshot of ids and look each one up again before calling.
    QList<quint64> ids;
    for (const Observer &o : std::as_const(m_observers)) {
        if (o.name == name)
            ids.append(o.id);
    }
    for (quint64 id : std::as_const(ids)) {
        auto it = std::find_if(m_observers.cbegin(), m_observers.cend(),
                               [id](const Observer &o) { return o.id == id; });
        if (it == m_observers.cend() || it->context.isNull())
            continue;
        Handler handler = it->handler;
        handler(userInfo);
    }
}

int WNotificationCenter::observerCount(const QString &name) const
{
    return int(std::count_if(m_observers.cbegin(), m_observers.cend(), [&](const Observer &o) {
        return !o.context.isNull() && o.name == name;
    }));
}

void WNotificationCenter::prune()
{
    m_observers.removeIf([](const Observer &o) { return o.context.isNull(); });
}

} // namespace WexoCreator
