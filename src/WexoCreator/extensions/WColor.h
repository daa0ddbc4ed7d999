#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace WexoCreator {

// Reads a backend colour text: an optional leading "#", then three digits
// (RGB, each doubled), six (RRGGBB, opaque) or eight (AARRGGBB). Any other
// length gives no colour. A pair that is not hexadecimal is not an error:
// it reads as its leading hex digits, 0 when there are none.
std::optional<QColor> colorFromHex(const QString &text);

} // namespace WexoCreator
