#pragma once

#include <QDateTime>
#include <QtGlobal>

namespace WexoCreator {

// Time stamps are signed 64-bit milliseconds since 1970 (UTC).

// Seconds since 1970 to milliseconds, rounded to the nearest with halves away
// from zero. Values beyond the 64-bit range are clamped to it; not a number gives 0.
qint64 millisecondsSince1970(double secondsSince1970);
qint64 millisecondsSince1970(const QDateTime &date);
qint64 currentMillisecondsSince1970();

QDateTime dateFromMilliseconds(qint64 milliseconds);

} // namespace WexoCreator
