#include "WexoCreator/model/WDecodeError.h"

namespace WexoCreator {

WDecodeError::WDecodeError(const QString &path, const QString &reason)
    : m_path(path)
    , m_reason(reason)
    , m_what(toString().toUtf8())
{
}

QString WDecodeError::toString() const
{
    if (m_path.isEmpty())
        return m_reason;
    return m_path + QStringLiteral(": ") + m_reason;
}

} // namespace WexoCreator
