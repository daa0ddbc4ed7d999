#include "WexoCreator/extensions/WTime.h"

#include <cmath>
#include <limits>

namespace WexoCreator {

qint64 millisecondsSince1970(double secondsSince1970)
{
    const double milliseconds = std::round(secondsSince1970 * 1000.0);
    if (std::isnan(milliseconds))
        return 0;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (milliseconds >= limit)
        return std::numeric_limits<qint64>::max();
    if (milliseconds < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(milliseconds);
}

qint64 millisecondsSince1970(const QDateTime &date)
{
    return date.toMSecsSinceEpoch();
}

qint64 currentMillisecondsSince1970()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QDateTime dateFromMilliseconds(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

} // namespace WexoCreator
