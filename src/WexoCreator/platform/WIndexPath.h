#pragma once

#include <QString>

#include <compare>

namespace WexoCreator {

// A cell's position: the section and the item within it.
struct WIndexPath {
    int section = 0;
    int item = 0;

    // The text form used in composed element identifiers: "[section, item]".
    QString toString() const { return QStringLiteral("[%1, %2]").arg(section).arg(item); }

    friend auto operator<=>(const WIndexPath &, const WIndexPath &) = default;
};

} // namespace WexoCreator
