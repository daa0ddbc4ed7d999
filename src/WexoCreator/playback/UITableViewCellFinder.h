#pragma once

#include "WexoCreator/playback/WItemViewCellFinder.h"

#include <QAbstractItemView>
#include <QPointer>

namespace WexoCreator {

// Told when the finder has the cell on screen; `rect` is the caller's own.
class UITableViewCellFinderDelegate
{
public:
    virtual ~UITableViewCellFinderDelegate() = default;
    virtual void didFindCell(const QModelIndex &cell, const WIndexPath &indexPath, QAbstractItemView *tableView,
                             const QRectF &rect) = 0;
};

// Brings a table view's cell on screen for one look-up, then tells its delegate.
class UITableViewCellFinder : public WItemViewCellFinder
{
public:
    UITableViewCellFinderDelegate *delegate = nullptr;

    // True when the cell was found and the delegate (if any) was told.
    bool find(const std::optional<WIndexPath> &indexPath, QAbstractItemView *tableView, const QRectF &rect);
};

} // namespace WexoCreator
