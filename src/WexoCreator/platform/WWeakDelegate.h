#pragma once

#include <QObject>
#include <QPointer>

namespace WexoCreator {

// A delegate held without keeping it alive. A delegate that is also a QObject
// reads back as null once it is destroyed; any other delegate must outlive
// the view that calls it.
template <typename Delegate>
class WWeakDelegate
{
public:
    void set(Delegate *delegate)
    {
        m_delegate = delegate;
        m_guard = dynamic_cast<QObject *>(delegate);
        m_isObject = !m_guard.isNull();
    }

    Delegate *get() const
    {
        if (m_isObject && m_guard.isNull())
            return nullptr;
        return m_delegate;
    }

private:
    Delegate *m_delegate = nullptr;
    QPointer<QObject> m_guard;
    bool m_isObject = false;
};

} // namespace WexoCreator
