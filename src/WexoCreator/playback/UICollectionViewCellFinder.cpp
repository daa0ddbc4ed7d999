#include "WexoCreator/playback/UICollectionViewCellFinder.h"

namespace WexoCreator {

bool UICollectionViewCellFinder::find(const std::optional<WIndexPath> &indexPath, QAbstractItemView *collectionView,
                                 const QRectF &rect)
{
    const std::optional<Cell> cell = locate(collectionView, indexPath);
    if (!cell)
        return false;
    if (delegate)
        delegate->didFindCell(cell->index, *indexPath, collectionView, rect);
    return true;
}

} // namespace WexoCreator
