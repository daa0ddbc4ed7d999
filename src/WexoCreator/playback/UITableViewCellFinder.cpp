#include "WexoCreator/playback/UITableViewCellFinder.h"

namespace WexoCreator {

bool UITableViewCellFinder::find(const std::optional<WIndexPath> &indexPath, QAbstractItemView *tableView,
                                 const QRectF &rect)
{
    const std::optional<Cell> cell = locate(tableView, indexPath);
    if (!cell)
        return false;
    if (delegate)
        delegate->didFindCell(cell->index, *indexPath, tableView, rect);
    return true;
}

} // namespace WexoCreator
