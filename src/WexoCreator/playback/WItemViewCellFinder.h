#pragma once

#include "WexoCreator/platform/WIndexPath.h"

#include <QModelIndex>
#include <QRect>
#include <QRectF>

#include <optional>

class QAbstractItemView;

namespace WexoCreator {

// What both cell finders share: the row at an index path, brought on screen
// with at most one scroll. A row that is not in the model is not found, so a
// look-up never waits on a list that cannot bring it.
class WItemViewCellFinder
{
public:
    struct Cell {
        QModelIndex index;
        // The whole row, in the view's own coordinates, cut to its viewport.
        QRect rect;
    };

    static std::optional<Cell> locate(QAbstractItemView *view, const std::optional<WIndexPath> &path);
    // The visible part of the row that holds `index`, in the view's coordinates.
    static QRect rowRect(const QAbstractItemView *view, const QModelIndex &index);

protected:
    WItemViewCellFinder() = default;
    ~WItemViewCellFinder() = default;
};

} // namespace WexoCreator
