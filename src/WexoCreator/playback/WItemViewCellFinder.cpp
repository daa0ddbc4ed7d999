#include "WexoCreator/playback/WItemViewCellFinder.h"

#include "WexoCreator/platform/WHostQueries.h"

#include <QAbstractItemView>

namespace WexoCreator {

QRect WItemViewCellFinder::rowRect(const QAbstractItemView *view, const QModelIndex &index)
{
    const QAbstractItemModel *model = index.model();
    QRect row = view->visualRect(index);
    // A table's row spans its columns; which one a person touched does not matter.
    if (!WHostQueries::isCollectionView(view)) {
        for (int column = 1; column < model->columnCount(index.parent()); ++column)
            row = row.united(view->visualRect(model->index(index.row(), column, index.parent())));
    }
    row = row.intersected(view->viewport()->rect());
    return row.translated(view->viewport()->mapTo(view, QPoint(0, 0)));
}

std::optional<WItemViewCellFinder::Cell> WItemViewCellFinder::locate(QAbstractItemView *view,
                                                                   const std::optional<WIndexPath> &path)
{
    if (!view || !path)
        return std::nullopt;
    const QModelIndex index = WHostQueries::cellIndex(view, *path);
    if (!index.isValid())
        return std::nullopt;
    if (!WHostQueries::isCellLoaded(view, index))
        view->scrollTo(index, QAbstractItemView::PositionAtCenter);
    if (!WHostQueries::isCellLoaded(view, index))
        return std::nullopt;
    return Cell{index, rowRect(view, index)};
}

} // namespace WexoCreator
