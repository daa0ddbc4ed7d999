#pragma once

#include "WexoCreator/platform/WIndexPath.h"

#include <QList>
#include <QModelIndex>
#include <QRect>
#include <QString>

#include <optional>

class QAbstractItemView;
class QDialog;
class QTabBar;
class QWidget;

namespace WexoCreator {

// What the library asks of the host's widget tree: its main window, the page a
// person is looking at, the page a widget belongs to, tab items and the cells of
// item views. A page is a window, a main window's central widget, or a page of a
// QStackedWidget (a QTabWidget's pages included).
struct WHostQueries {
    // The active window when it is a QMainWindow, else the first top-level
    // QMainWindow made (a visible one before hidden ones), else the active
    // window, else null.
    static QWidget *hostWindow();

    // The host window the library's layers were built over. Once set it stays,
    // whichever main window is active later: every layer keeps to its window.
    static QWidget *libraryWindow();
    static void setLibraryWindow(QWidget *window);

    // A main window's central widget, else the window itself.
    static QWidget *rootPage(QWidget *window);

    static bool isPage(const QWidget *widget);

    // The pages the top-page walk passes through inside one window: the window,
    // its root page, then each current stack or tab page. A dialog is a window
    // of its own with a chain of its own.
    static QList<QWidget *> pageChain(QWidget *window);

    // The page a widget belongs to: the deepest page of its window's chain that
    // contains it. Whatever else the window holds (a main window's tool bars,
    // docks and menus, a main window nested in a dock, a stack nested in a
    // page) belongs to the window's current top page. Recording and playback
    // both use it, so a recorded page name is always one the walk reaches.
    static QWidget *pageOf(QWidget *widget);

    // The part of `rect` (in the widget's coordinates) that the widget and its
    // parents up to its window show: a widget larger than its scroll area
    // shows only what the viewport lets through. Empty when nothing shows.
    static QRect shownPart(const QWidget *widget, const QRect &rect);

    // The name walkthroughs use in "Page": the page's class name.
    static QString pageName(const QWidget *page);

    // The page on screen: from the given page, or from the root page of the
    // library's window (else of the host window), down through current stack
    // and tab pages and modal dialogs.
    static QWidget *wTopViewController(QWidget *start = nullptr);

    // The host widget a window gives the keyboard to when it becomes active
    // with no focus widget of its own: the first in its tab chain that takes
    // focus by Tab, shown and enabled. The library's widgets never count, so
    // the choice is the one the window makes without the library. Null when
    // the host has no such widget.
    static QWidget *firstFocusWidget(QWidget *window);

    // The visible modal dialog opened from the page, from a widget inside it, or
    // from the page's window (the usual QDialog(mainWindow)).
    static QDialog *presentedDialog(const QWidget *page);

    // A tab's identifier is its data when that holds a non-empty string.
    static std::optional<QString> tabItemIdentifier(const QTabBar *bar, int index);
    static void setTabItemIdentifier(QTabBar *bar, int index, const std::optional<QString> &identifier);
    static std::optional<int> tabIndexWithIdentifier(const QTabBar *bar, const QString &identifier);

    // A QListView in icon mode plays the collection; every other item view the table.
    static bool isCollectionView(const QAbstractItemView *view);
    static bool isTableView(const QAbstractItemView *view);

    // The row at an index path: in a tree model the item under top-level row
    // `section`; in a flat model section 0 and row `item`; at the first column
    // the view shows. Invalid when there is none.
    static QModelIndex cellIndex(const QAbstractItemView *view, const WIndexPath &path);
    static std::optional<WIndexPath> indexPathOf(const QAbstractItemView *view, const QModelIndex &index);

    // A cell counts as loaded while its rectangle meets the viewport.
    static bool isCellLoaded(const QAbstractItemView *view, const QModelIndex &index);
    static QList<WIndexPath> visibleIndexPaths(const QAbstractItemView *view);

    // The class name that stands for a cell's class: its item delegate's.
    static QString cellClassName(const QAbstractItemView *view, const QModelIndex &index);
};

} // namespace WexoCreator
