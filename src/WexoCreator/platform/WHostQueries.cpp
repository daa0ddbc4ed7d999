#include "WexoCreator/platform/WHostQueries.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QListView>
#include <QMainWindow>
#include <QPointer>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

#include <limits>

namespace WexoCreator {

namespace {

bool isTreeModel(const QAbstractItemModel *model, const QModelIndex &root)
{
    const int rows = model->rowCount(root);
    for (int row = 0; row < rows; ++row) {
        if (model->hasChildren(model->index(row, 0, root)))
            return true;
    }
    return false;
}

// True when `widget` is `page` or lies inside it without crossing into another window.
bool liesInside(const QWidget *widget, const QWidget *page)
{
    return widget && (widget == page || page->isAncestorOf(widget));
}

// A row is a cell whatever its column, but views hide columns (often the
// first): the row stands by the first column the view shows, else column 0.
QModelIndex firstShownColumn(const QAbstractItemView *view, const QModelIndex &index)
{
    const int columns = index.isValid() ? index.model()->columnCount(index.parent()) : 0;
    for (int column = 0; column < columns; ++column) {
        const QModelIndex cell = index.siblingAtColumn(column);
        if (!view->visualRect(cell).isEmpty())
            return cell;
    }
    return index;
}

} // namespace

QWidget *WHostQueries::hostWindow()
{
    QWidget *active = QApplication::activeWindow();
    if (qobject_cast<QMainWindow *>(active))
        return active;
    // Top-level widgets come from an unordered set: rank the main windows by
    // visibility, then by the order their native windows were made in (the
    // application lists the newest first).
    const QWindowList newestFirst = QGuiApplication::allWindows();
    const auto rank = [&newestFirst](const QWidget *window) {
        const qsizetype index = window->windowHandle() ? newestFirst.indexOf(window->windowHandle()) : -1;
        return std::pair(!window->isVisible(), index < 0 ? newestFirst.size() : newestFirst.size() - 1 - index);
    };
    QWidget *chosen = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<QMainWindow *>(window) && (!chosen || rank(window) < rank(chosen)))
            chosen = window;
    }
    return chosen ? chosen : active;
}

namespace {
QPointer<QWidget> &libraryWindowSlot()
{
    static QPointer<QWidget> window;
    return window;
}
} // namespace

QWidget *WHostQueries::libraryWindow()
{
    return libraryWindowSlot();
}

void WHostQueries::setLibraryWindow(QWidget *window)
{
    libraryWindowSlot() = window;
}

QWidget *WHostQueries::rootPage(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window); main && main->centralWidget())
        return main->centralWidget();
    return window;
}

bool WHostQueries::isPage(const QWidget *widget)
{
    if (!widget)
        return false;
    if (widget->isWindow())
        return true;
    QWidget *parent = widget->parentWidget();
    if (auto *main = qobject_cast<QMainWindow *>(parent))
        return main->centralWidget() == widget;
    return qobject_cast<QStackedWidget *>(parent) != nullptr;
}

QList<QWidget *> WHostQueries::pageChain(QWidget *window)
{
    QList<QWidget *> chain;
    if (!window)
        return chain;
    chain.append(window);
    QWidget *page = rootPage(window);
    while (page) {
        if (page != window)
            chain.append(page);
        if (auto *stack = qobject_cast<QStackedWidget *>(page))
            page = stack->currentWidget();
        else if (auto *tabs = qobject_cast<QTabWidget *>(page))
            page = tabs->currentWidget();
        else
            page = nullptr;
    }
    return chain;
}

QWidget *WHostQueries::pageOf(QWidget *widget)
{
    if (!widget)
        return nullptr;
    const QList<QWidget *> chain = pageChain(widget->window());
    for (qsizetype i = chain.size() - 1; i > 0; --i) {
        if (liesInside(widget, chain.at(i)))
            return chain.at(i);
    }
    // Outside every page of the chain but in its window.
    return chain.last();
}

QRect WHostQueries::shownPart(const QWidget *widget, const QRect &rect)
{
    QRect shown = rect;
    // The origin of `widget` in the coordinates of the ancestor at hand.
    QPoint origin;
    for (const QWidget *ancestor = widget; ancestor; ancestor = ancestor->parentWidget()) {
        shown &= QRect(-origin, ancestor->size());
        if (ancestor->isWindow())
            break;
        origin += ancestor->pos();
    }
    return shown;
}

QString WHostQueries::pageName(const QWidget *page)
{
    return page ? QString::fromLatin1(page->metaObject()->className()) : QString();
}

QWidget *WHostQueries::firstFocusWidget(QWidget *window)
{
    if (!window)
        return nullptr;
    for (QWidget *widget = window->nextInFocusChain(); widget && widget != window; widget = widget->nextInFocusChain()) {
        if (widget->isWindow() || !window->isAncestorOf(widget) || WLibraryWidgets::isLibraryOwned(widget))
            continue;
        // A compound widget (a spin box, an editable combo box) takes the
        // focus for its inner editor; the editor itself is passed over.
        QWidget *proxy = widget;
        while (proxy->focusProxy())
            proxy = proxy->focusProxy();
        if (proxy != widget && proxy->isAncestorOf(widget))
            continue;
        if ((proxy->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) && widget->isEnabled())
            return widget;
    }
    return nullptr;
}

QDialog *WHostQueries::presentedDialog(const QWidget *page)
{
    if (!page)
        return nullptr;
    QDialog *found = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        auto *dialog = qobject_cast<QDialog *>(window);
        if (!dialog || dialog == page || !dialog->isVisible() || !dialog->isModal() || WLibraryWidgets::isLibraryOwned(dialog))
            continue;
        QWidget *opener = dialog->parentWidget();
        if (!liesInside(opener, page) && !(opener && opener == page->window()))
            continue;
        // Of two dialogs open over the same page, the one shown last is on top.
        if (dialog == QApplication::activeModalWidget())
            return dialog;
        if (!found)
            found = dialog;
    }
    return found;
}

QWidget *WHostQueries::wTopViewController(QWidget *start)
{
    QWidget *window = libraryWindow() ? libraryWindow() : hostWindow();
    QWidget *page = start ? start : rootPage(window);
    // Each step goes to a child page or to a dialog whose parent lies inside the
    // current page, so the walk always ends; a container with no current page
    // stops it there.
    while (page) {
        if (auto *stack = qobject_cast<QStackedWidget *>(page); stack && stack->currentWidget()) {
            page = stack->currentWidget();
            continue;
        }
        if (auto *tabs = qobject_cast<QTabWidget *>(page); tabs && tabs->currentWidget()) {
            page = tabs->currentWidget();
            continue;
        }
        if (QDialog *dialog = presentedDialog(page)) {
            page = dialog;
            continue;
        }
        return page;
    }
    return nullptr;
}

std::optional<QString> WHostQueries::tabItemIdentifier(const QTabBar *bar, int index)
{
    if (!bar || index < 0 || index >= bar->count())
        return std::nullopt;
    const QVariant data = bar->tabData(index);
    if (data.typeId() != QMetaType::QString || data.toString().isEmpty())
        return std::nullopt;
    return data.toString();
}

void WHostQueries::setTabItemIdentifier(QTabBar *bar, int index, const std::optional<QString> &identifier)
{
    if (!bar || index < 0 || index >= bar->count())
        return;
    bar->setTabData(index, identifier ? QVariant(*identifier) : QVariant());
}

std::optional<int> WHostQueries::tabIndexWithIdentifier(const QTabBar *bar, const QString &identifier)
{
    for (int index = 0; bar && index < bar->count(); ++index) {
        if (tabItemIdentifier(bar, index) == identifier)
            return index;
    }
    return std::nullopt;
}

bool WHostQueries::isCollectionView(const QAbstractItemView *view)
{
    auto *list = qobject_cast<const QListView *>(view);
    return list && list->viewMode() == QListView::IconMode;
}

bool WHostQueries::isTableView(const QAbstractItemView *view)
{
    return view && !isCollectionView(view);
}

QModelIndex WHostQueries::cellIndex(const QAbstractItemView *view, const WIndexPath &path)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    constexpr qint64 lastRow = std::numeric_limits<int>::max();
    // Rows are int: a larger number must find nothing rather than wrap to another cell.
    if (!model || path.section < 0 || path.item < 0 || path.section > lastRow || path.item > lastRow)
        return {};
    const int sectionRow = int(path.section);
    const int itemRow = int(path.item);
    const QModelIndex root = view->rootIndex();
    if (!isTreeModel(model, root))
        return sectionRow == 0 ? firstShownColumn(view, model->index(itemRow, 0, root)) : QModelIndex();
    const QModelIndex section = model->index(sectionRow, 0, root);
    return section.isValid() ? firstShownColumn(view, model->index(itemRow, 0, section)) : QModelIndex();
}

std::optional<WIndexPath> WHostQueries::indexPathOf(const QAbstractItemView *view, const QModelIndex &index)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model || !index.isValid() || index.model() != model)
        return std::nullopt;
    const QModelIndex root = view->rootIndex();
    if (!isTreeModel(model, root)) {
        if (index.parent() != root)
            return std::nullopt;
        return WIndexPath{0, index.row()};
    }
    // In a tree the top-level rows are the sections, not cells.
    const QModelIndex parent = index.parent();
    if (parent == root || parent.parent() != root)
        return std::nullopt;
    return WIndexPath{parent.row(), index.row()};
}

bool WHostQueries::isCellLoaded(const QAbstractItemView *view, const QModelIndex &index)
{
    if (!view || !index.isValid() || index.model() != view->model())
        return false;
    const QRect rect = view->visualRect(index);
    return !rect.isEmpty() && rect.intersects(view->viewport()->rect());
}

QList<WIndexPath> WHostQueries::visibleIndexPaths(const QAbstractItemView *view)
{
    QList<WIndexPath> paths;
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model)
        return paths;
    const QModelIndex root = view->rootIndex();
    const bool tree = isTreeModel(model, root);
    const int sections = tree ? model->rowCount(root) : 1;
    for (int section = 0; section < sections; ++section) {
        const QModelIndex parent = tree ? model->index(section, 0, root) : root;
        const int rows = model->rowCount(parent);
        for (int item = 0; item < rows; ++item) {
            if (isCellLoaded(view, model->index(item, 0, parent)))
                paths.append(WIndexPath{section, item});
        }
    }
    return paths;
}

QString WHostQueries::cellClassName(const QAbstractItemView *view, const QModelIndex &index)
{
    const QAbstractItemDelegate *delegate = view ? view->itemDelegateForIndex(index) : nullptr;
    return delegate ? QString::fromLatin1(delegate->metaObject()->className()) : QString();
}

} // namespace WexoCreator
