#pragma once

#include <QString>

namespace WexoCreator {

// A cell's position: the section and the item within it. 64-bit like the
// numbers a step's frame text may hold; a view's rows are int, so a path
// beyond them simply finds no cell. Kept C++17-clean: hosts include it.
struct WIndexPath {
    qint64 section = 0;
    qint64 item = 0;

    // The text form used in composed element identifiers: "[section, item]".
    QString toString() const { return QStringLiteral("[%1, %2]").arg(section).arg(item); }

    friend bool operator==(const WIndexPath &a, const WIndexPath &b) { return a.section == b.section && a.item == b.item; }
    friend bool operator!=(const WIndexPath &a, const WIndexPath &b) { return !(a == b); }
};

} // namespace WexoCreator
