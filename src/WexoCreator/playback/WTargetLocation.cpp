#include "WexoCreator/playback/WTargetLocation.h"

#include "WexoCreator/extensions/WElementIdentity.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/playback/WItemViewCellFinder.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

namespace WexoCreator {

namespace {

const QString tabBarButtonType = QStringLiteral("UITabBarButton");

// The look-up needs a placed overlay and a target identity.
bool canLocate(const WexoStep &step, const QWidget *space)
{
    return space && space->parentWidget() && step.Frame && !step.Frame->isEmpty();
}

// A list a person sees among a page's children; a table's own headers are not lists.
QAbstractItemView *shownItemView(QObject *child)
{
    auto *view = qobject_cast<QAbstractItemView *>(child);
    if (!view || qobject_cast<QHeaderView *>(view) || view->isHidden() || view->isWindow())
        return nullptr;
    return view;
}

QAbstractItemView *firstItemView(QWidget *page)
{
    if (!page)
        return nullptr;
    for (QObject *child : page->children()) {
        if (QAbstractItemView *view = shownItemView(child))
            return view;
    }
    return qobject_cast<QAbstractItemView *>(page);
}

// Pre-order, depth first in children() order, over what a person can see;
// `skip` is a subtree already searched.
QAbstractItemView *firstShownItemView(QWidget *widget, const std::function<bool(const QAbstractItemView *)> &qualifies,
                                      const QWidget *skip)
{
    if (widget == skip || widget->isHidden() || WLibraryWidgets::isMarked(widget))
        return nullptr;
    auto *view = qobject_cast<QAbstractItemView *>(widget);
    if (view && !qobject_cast<QHeaderView *>(view) && qualifies(view))
        return view;
    for (QObject *child : widget->children()) {
        auto *childWidget = qobject_cast<QWidget *>(child);
        if (!childWidget || childWidget->isWindow())
            continue;
        if (QAbstractItemView *found = firstShownItemView(childWidget, qualifies, skip))
            return found;
    }
    return nullptr;
}

} // namespace

QList<QRectF> WTargetLocation::transparentRects(const WexoStep &step, const QWidget *space)
{
    if (step.ElementType == tabBarButtonType) {
        const QTabWidget *tabs = WexolinManager::shared().tabBarController();
        return tabs ? rectForTabbarController(tabs, step, space) : QList<QRectF>();
    }
    QWidget *page = WHostQueries::wTopViewController();
    if (!page)
        return {};
    // A row is no widget: it is found in its list, brought on screen first.
    if (step.isScrollElement() && canLocate(step, space)) {
        if (QAbstractItemView *view = cellView(page, step)) {
            if (const std::optional<WItemViewCellFinder::Cell> cell = WItemViewCellFinder::locate(view, step.indexPathForElement()))
                return {mapRect(view, cell->rect, space)};
        }
    }
    return rectForViewController(page, step, space);
}

QList<QRectF> WTargetLocation::rectForViewController(QWidget *page, const WexoStep &step, const QWidget *space)
{
    if (!canLocate(step, space))
        return {};
    const QWidget *target = targetWidget(page, *step.Frame);
    if (!target)
        return {};
    return {mapRect(target, target->rect(), space)};
}

QList<QRectF> WTargetLocation::rectForTabbarController(const QTabWidget *tabs, const WexoStep &step,
                                                       const QWidget *space)
{
    if (!canLocate(step, space) || !tabs)
        return {};
    const QTabBar *bar = tabs->tabBar();
    if (bar->isHidden() || !tabs->isVisible())
        return {};
    const std::optional<int> index = WHostQueries::tabIndexWithIdentifier(bar, *step.Frame);
    if (!index || !bar->isTabVisible(*index))
        return {};
    return {mapRect(bar, bar->tabRect(*index), space)};
}

QWidget *WTargetLocation::targetWidget(QWidget *page, const QString &identifier)
{
    if (!page)
        return nullptr;
    if (QWidget *found = getShownWView(page, identifier))
        return found;
    return getShownWView(page->window(), identifier, page);
}

QAbstractItemView *WTargetLocation::cellView(QWidget *page, const WexoStep &step)
{
    const std::optional<WIndexPath> path = step.indexPathForElement();
    const qsizetype marker = step.Frame ? step.Frame->indexOf(QLatin1String("_indexpath_")) : -1;
    if (!page || !path || marker <= 0)
        return nullptr;
    const QString cellClass = step.Frame->left(marker);
    // A row the view does not show (under a collapsed section of a tree whose
    // model another view lists flat) has no place in it: it is not that list.
    const auto qualifies = [&](const QAbstractItemView *view) {
        const QModelIndex index = WHostQueries::cellIndex(view, *path);
        return index.isValid() && WHostQueries::cellClassName(view, index) == cellClass
            && !view->visualRect(index).isEmpty();
    };
    if (QAbstractItemView *found = firstShownItemView(page, qualifies, nullptr))
        return found;
    return firstShownItemView(page->window(), qualifies, page);
}

QAbstractItemView *WTargetLocation::tableView(QWidget *page)
{
    QAbstractItemView *view = firstItemView(page);
    return WHostQueries::isTableView(view) ? view : nullptr;
}

QAbstractItemView *WTargetLocation::collectionView(QWidget *page)
{
    if (!page)
        return nullptr;
    for (QObject *child : page->children()) {
        QAbstractItemView *view = shownItemView(child);
        if (WHostQueries::isCollectionView(view))
            return view;
    }
    auto *self = qobject_cast<QAbstractItemView *>(page);
    return WHostQueries::isCollectionView(self) ? self : nullptr;
}

QRectF WTargetLocation::mapRect(const QWidget *from, const QRect &whole, const QWidget *space)
{
    // Only what shows of it: a hole over all of a canvas larger than its
    // scroll area would open over the docks beside it.
    const QRect shown = WHostQueries::shownPart(from, whole);
    const QRect rect = shown.isEmpty() ? whole : shown;
    const QWidget *window = from->window();
    if (window == space->window() && window != from && window != space) {
        const QPoint topLeft = space->mapFrom(window, from->mapTo(window, rect.topLeft()));
        return QRectF(QRect(topLeft, rect.size()));
    }
    return QRectF(QRect(space->mapFromGlobal(from->mapToGlobal(rect.topLeft())), rect.size()));
}

} // namespace WexoCreator
