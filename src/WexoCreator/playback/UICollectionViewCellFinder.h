#pragma once

#include "WexoCreator/playback/WItemViewCellFinder.h"

#include <QAbstractItemView>
#include <QPointer>

namespace WexoCreator {

// Told when the finder has the cell on screen; `rect` is the caller's own.
class UICollectionViewCellFinderDelegate
{
public:
    virtual ~UICollectionViewCellFinderDelegate() = default;
    virtual void didFindCell(const QModelIndex &cell, const WIndexPath &indexPath, QAbstractItemView *collectionView,
                             const QRectF &rect) = 0;
};

// Brings a collection view's cell on screen for one look-up, then tells its delegate.
class UICollectionViewCellFinder : public WItemViewCellFinder
{
public:
    UICollectionViewCellFinderDelegate *delegate = nullptr;

    // True when the cell was found and the delegate (if any) was told.
    bool find(const std::optional<WIndexPath> &indexPath, QAbstractItemView *collectionView, const QRectF &rect);
};

} // namespace WexoCreator
