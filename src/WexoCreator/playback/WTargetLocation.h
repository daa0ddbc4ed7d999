#pragma once

#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

class QAbstractItemView;
class QTabWidget;
class QWidget;

namespace WexoCreator {

class WexoStep;

// Turns a step's target identity into rectangles in the coordinates of `space`
// (the overlay). Every look-up gives no rectangle (not found) or one.
struct WTargetLocation {
    // A tab of the registered tab widget for "UITabBarButton" steps, a row
    // (scrolled into view) for a row's identity, otherwise a widget of the
    // page on screen.
    static QList<QRectF> transparentRects(const WexoStep &step, const QWidget *space);
    static QList<QRectF> rectForViewController(QWidget *page, const WexoStep &step, const QWidget *space);
    static QList<QRectF> rectForTabbarController(const QTabWidget *tabs, const WexoStep &step, const QWidget *space);

    // The first shown widget with the identifier: in the page, then in the rest
    // of its window (a main window's tool bars and docks, a main window nested
    // in a dock), which is on screen with every page. Other windows (floating
    // docks, tool windows) are not searched: the overlay does not cover them.
    static QWidget *targetWidget(QWidget *page, const QString &identifier);

    // The item view that shows a cell step's row, searched as targetWidget
    // searches, item views in children() order, depth first. A cell identity
    // names a row, not a list, so a view qualifies only when its delegate for
    // that row has the identity's class name and the view shows that row.
    static QAbstractItemView *cellView(QWidget *page, const WexoStep &step);

    // The page's first item view among its direct children (else the page
    // itself when it is one), when that plays a table or a collection.
    static QAbstractItemView *tableView(QWidget *page);
    static QAbstractItemView *collectionView(QWidget *page);

    // A rectangle of `from` in the coordinates of `space`, across windows too:
    // the part of it that `from` and its parents show, when any part shows.
    static QRectF mapRect(const QWidget *from, const QRect &whole, const QWidget *space);
};

} // namespace WexoCreator
