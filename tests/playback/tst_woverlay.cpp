#include "support/HostFixture.h"
#include "support/ViewTestSupport.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAncestorChain.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/playback/WPlacement.h"
#include "WexoCreator/playback/WTargetLocation.h"
#include "WexoCreator/views/WBanner.h"
#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WPointerView.h"
#include "WexoCreator/views/WPopup.h"
#include "WexoCreator/views/WPulse.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QFrame>
#include <QLabel>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace WexoCreator;
using ViewTestSupport::pixelAt;

namespace {

// How far apart two rectangles are (0 when they touch or overlap).
qreal gap(const QRectF &a, const QRectF &b)
{
    return std::max({b.left() - a.right(), a.left() - b.right(), b.top() - a.bottom(), a.top() - b.bottom(), qreal(0)});
}

} // namespace

// The overlay over a host built as applications are: where it finds its
// targets, and the views it shows there.
class tst_WOverlay : public QObject
{
    Q_OBJECT

    std::unique_ptr<HostFixture> m_host;
    QWidget *m_container = nullptr; // where the launcher's view would be

    // The step as the second of three.
    WOverlay *show(const QString &display, const QString &frame = QStringLiteral("targetButton"),
                   std::optional<bool> backdrop = std::nullopt, const QString &description = {})
    {
        auto step = makeStep(1, frame, display, backdrop);
        if (!description.isEmpty())
            step->description = description;
        auto *overlay = new WOverlay(step, makePage({makeStep(0, frame, display), step, makeStep(2, frame, display)}, 3),
                                     m_container);
        overlay->show();
        return overlay;
    }
    QRectF rectOf(const QWidget *widget) const { return QRectF(QRect(widget->mapTo(m_host.get(), QPoint()), widget->size())); }
    static void dropDeferred() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void init()
    {
        m_host = std::make_unique<HostFixture>();
        m_container = new QWidget(m_host.get());
        m_container->setGeometry(m_host->rect());
        QVERIFY(m_host->showAndWait());
        m_container->raise();
        WexolinManager::setTabBarController(m_host->tabs);
    }
    void cleanup()
    {
        WexolinManager::setTabBarController(nullptr);
        WexolinManager::setCurrentPlaying(nullptr);
        m_host.reset();
        dropDeferred();
    }

    // Each view next to its target (the button lies at the window's bottom
    // edge), inside the window and never over the target's hole.
    void kindsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("shows"); // mobile, card, banner or marker

        QTest::addRow("popover") << "popover" << "targetButton" << "mobile";
        QTest::addRow("screen") << "screen" << "nameField" << "card";
        QTest::addRow("banner top") << "banner:top" << "targetButton" << "banner";
        QTest::addRow("banner bottom") << "banner:bottom" << "targetButton" << "banner";
        for (const char *kind : {"pulse:top-left", "tooltip:top-right", "pulse:bottom-left", "tooltip:bottom-right"})
            QTest::addRow("%s", kind) << kind << "targetButton" << "marker";
    }
    void kindsAtTheirPlaces()
    {
        QFETCH(QString, display);
        QFETCH(QString, frame);
        QFETCH(QString, shows);

        WOverlay *overlay = show(display, frame);
        QCOMPARE(overlay->geometry(), m_container->rect());
        if (shows == QLatin1String("banner")) {
            QVERIFY(overlay->targets().isEmpty());
            WBanner *banner = overlay->banner();
            QCOMPARE(banner->width(), overlay->width());
            QTRY_COMPARE(banner->y(), display.endsWith(QLatin1String("top")) ? 0 : overlay->height() - banner->height());
            QCOMPARE(banner->currentStep(), 2);
            return;
        }
        QCOMPARE(overlay->targets(), QList<QRectF>{rectOf(m_host->targets->findChild<QWidget *>(frame))});
        const QRectF target = overlay->targets().first();
        QWidget *view = shows == QLatin1String("mobile") ? static_cast<QWidget *>(overlay->mobilePopupView())
            : shows == QLatin1String("card")              ? static_cast<QWidget *>(overlay->defaultPopupView())
                                                          : overlay->markers().value(0);
        QVERIFY(view && view->isVisible());
        const QRectF placed = view->geometry();
        QVERIFY(QRectF(overlay->rect()).contains(placed));
        QVERIFY(!placed.intersects(target));
        QVERIFY(gap(placed, target) <= target.height() / 2 + WPlacement::kGap + 1);
    }

    void backdrop_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<std::optional<bool>>("backdrop");
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("inHole");

        QTest::addRow("dimmed by default") << "targetButton" << std::optional<bool>() << 128 << 0;
        QTest::addRow("no backdrop") << "targetButton" << std::optional<bool>(false) << 0 << 0;
        QTest::addRow("hole cut at the page's edge") << "edgeLabel" << std::optional<bool>() << 128 << 0;
        QTest::addRow("missing target: backdrop only") << "nowhere" << std::optional<bool>() << 128 << 128;
    }
    void backdrop()
    {
        QFETCH(QString, frame);
        QFETCH(std::optional<bool>, backdrop);
        QFETCH(int, outside);
        QFETCH(int, inHole);

        // A widget that reaches past the window's right edge.
        auto *edge = new QPushButton(QStringLiteral("edge"), m_host->targets);
        edge->setObjectName(QStringLiteral("edgeLabel"));
        edge->setGeometry(m_host->targets->width() - 40, 200, 120, 40);
        edge->show();

        WOverlay *overlay = show(QStringLiteral("screen"), frame, backdrop);
        const QImage image = ViewTestSupport::drawn(overlay);
        const QWidget *target = m_host->targets->findChild<QWidget *>(frame);
        // The hole ends where its page stops showing it (the dock beside it stays dimmed).
        const QRectF hole = target ? rectOf(target).intersected(rectOf(m_host->targets)) : QRectF(100, 300, 20, 20);
        QCOMPARE(pixelAt(image, QPointF(5, 300)).alpha(), outside);
        QCOMPARE(pixelAt(image, hole.center()).alpha(), inHole);
        // At the screen's pixel ratio the hole's device pixels are the target's.
        const QPoint inside = (hole.topLeft() * image.devicePixelRatio()).toPoint();
        QCOMPARE(qAlpha(image.pixel(inside)), inHole);
        if (target)
            QCOMPARE(qAlpha(image.pixel(inside - QPoint(1, 1))), outside);
        QCOMPARE(overlay->defaultPopupView() != nullptr, target != nullptr);
    }

    void templateCard()
    {
        WOverlay *overlay = show(QStringLiteral("screen"));
        overlay->showTemplateToolTip();
        dropDeferred();
        QVERIFY(overlay->detailedPopupView() && !overlay->defaultPopupView());
        const QRectF target = rectOf(m_host->targets->button);
        QCOMPARE(QSizeF(overlay->detailedPopupView()->size()), WPlacement::templateCardSize(overlay->size()));
        QVERIFY(!QRectF(overlay->detailedPopupView()->geometry()).intersects(target));
        // The card replaced the first card, not the backdrop: the hole stays.
        QCOMPARE(pixelAt(ViewTestSupport::drawn(overlay), target.topLeft() + QPointF(1, 1)).alpha(), 0);
    }

    void closeEndsThePlayback_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addRow("mobile card's close") << "popover";
        QTest::addRow("banner's close") << "banner:top";
    }
    void closeEndsThePlayback()
    {
        QFETCH(QString, display);
        WOverlay *overlay = show(display);
        WexolinManager::setCurrentPlaying(overlay->wexo());
        int dismissed = 0;
        overlay->onDismiss = [&dismissed] { ++dismissed; };
        QAbstractButton *close = overlay->mobilePopupView() ? static_cast<QAbstractButton *>(overlay->mobilePopupView()->closeButton())
                                                            : overlay->banner()->closeButton();
        QTRY_VERIFY(close->isVisible());
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(overlay->hasLeft() && !overlay->isVisible());
        QCOMPARE(dismissed, 1);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
    }

    // After a resize there is one card, or one marker with one pulse; a banner
    // takes its new place without starting over, as high as its text then
    // needs, and one on its way out keeps going.
    void resizeRebuildsOnce_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("leaving");
        QTest::addRow("card") << "screen" << QSize(600, 500) << false;
        QTest::addRow("marker") << "pulse:top-right" << QSize(600, 500) << false;
        QTest::addRow("banner, narrowed") << "banner:bottom" << QSize(300, 500) << false;
        QTest::addRow("banner leaving") << "banner:top" << QSize(600, 500) << true;
    }
    void resizeRebuildsOnce()
    {
        QFETCH(QString, display);
        QFETCH(QSize, size);
        QFETCH(bool, leaving);
        QPointer<WOverlay> overlay = show(display, QStringLiteral("targetButton"), std::nullopt,
            QStringLiteral("Everything you pick waits in the basket until you pay for it. Tap the basket to change amounts."));
        QPointer<WBanner> banner = overlay->banner();
        if (banner)
            QTRY_COMPARE(banner->y(), banner->restingY());
        if (leaving) {
            WTiming::setScale(1); // slow enough to resize on its way out
            QTest::mouseClick(banner, Qt::LeftButton);
            WTiming::setScale(0.01);
            QTRY_VERIFY(banner->x() < 0);
        }
        m_host->setMinimumSize(size);
        m_host->resize(size);
        m_container->setGeometry(m_host->rect());
        QCOMPARE(overlay->size(), size);
        if (leaving) {
            // Not back on screen; out to the left, then the walkthrough moves on
            // (the overlay that left is deleted soon after).
            QVERIFY(banner->x() < 0);
            QTRY_VERIFY(!overlay || overlay->hasLeft());
            return;
        }
        dropDeferred();
        dropDeferred(); // a marker's pulse goes after the marker
        const bool marker = display.startsWith(QLatin1String("pulse"));
        QCOMPARE(overlay->findChildren<WPopup *>().size(), display == QLatin1String("screen") ? 1 : 0);
        QCOMPARE(overlay->findChildren<WPointerView *>().size(), marker ? 1 : 0);
        QCOMPARE(overlay->findChildren<WPulse *>().size(), marker ? 1 : 0);
        if (!banner) {
            QCOMPARE(overlay->targets(), QList<QRectF>{rectOf(m_host->targets->button)});
            return;
        }
        QCOMPARE(overlay->banner(), banner.data());
        QVERIFY(banner->label()->heightForWidth(size.width()) <= banner->height());
        QCOMPARE(banner->geometry(), QRect(0, size.height() - banner->height(), size.width(), banner->height()));
        QCOMPARE(banner->label()->geometry(), banner->rect());
    }

    // --- Where the targets are ---------------------------------------------------

    void widgetTargets_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("elementType");
        QTest::addColumn<QString>("expected"); // the target's name below, "tab:N", or "" when none

        QTest::addRow("the page itself comes first") << "targetsPage" << "" << "page";
        QTest::addRow("a hidden match is passed over") << "twin" << "" << "twin";
        QTest::addRow("a hidden widget is not found") << "hiddenButton" << "" << "";
        QTest::addRow("tool-bar button after the page") << "toolButton" << "" << "toolButton";
        QTest::addRow("dock widget's child after the page") << "dockButton" << "" << "dockButton";
        QTest::addRow("main window nested in a dock") << "innerButton" << "" << "innerButton";
        QTest::addRow("a floating dock is a window of its own") << "floatingButton" << "" << "";
        QTest::addRow("no such widget") << "nowhere" << "" << "";
        QTest::addRow("tab of the registered tab widget") << "tab_grid" << "UITabBarButton" << "tab:1";
        QTest::addRow("first of two tabs with one identifier") << "tab_twin" << "UITabBarButton" << "tab:0";
        QTest::addRow("tab type in another letter case looks in the page") << "tab_grid" << "uitabbarbutton" << "tabNamesake";
        QTest::addRow("no tab widget registered") << "tab_grid" << "UITabBarButton:unregistered" << "";
    }
    void widgetTargets()
    {
        QFETCH(QString, frame);
        QFETCH(QString, elementType);
        QFETCH(QString, expected);

        m_host->targets->setObjectName(QStringLiteral("targetsPage"));
        auto *hidden = new QPushButton(m_host->targets);
        hidden->setObjectName(QStringLiteral("hiddenButton"));
        hidden->hide();
        auto *namesake = new QPushButton(m_host->targets);
        namesake->setObjectName(QStringLiteral("tab_grid"));
        namesake->show();
        QTabBar *bar = m_host->tabs->tabBar();
        bar->setTabData(2, QStringLiteral("tab_twin"));
        bar->setTabData(0, QStringLiteral("tab_twin"));
        m_host->tabs->setCurrentIndex(0);
        if (frame == QLatin1String("floatingButton")) {
            m_host->dock->setFloating(true);
            m_host->dockButton->setObjectName(frame);
        }
        if (elementType.endsWith(QLatin1String(":unregistered"))) {
            WexolinManager::setTabBarController(nullptr);
            elementType = QStringLiteral("UITabBarButton");
        }

        const auto step = makeStep(0, frame, QStringLiteral("screen"), std::nullopt, elementType);
        const QList<QRectF> rects = WTargetLocation::transparentRects(*step, m_container);
        if (expected.startsWith(QLatin1String("tab:"))) {
            const QRect tab = bar->tabRect(expected.mid(4).toInt());
            QCOMPARE(rects, QList<QRectF>{QRectF(QRect(bar->mapTo(m_host.get(), tab.topLeft()), tab.size()))});
            return;
        }
        const std::map<QString, const QWidget *> widgets{
            {"page", m_host->targets}, {"twin", m_host->targets->twin}, {"tabNamesake", namesake},
            {"toolButton", m_host->toolBar->widgetForAction(m_host->toolAction)}, {"dockButton", m_host->dockButton},
            {"innerButton", m_host->innerButton}};
        QCOMPARE(rects, expected.isEmpty() ? QList<QRectF>() : QList<QRectF>{rectOf(widgets.at(expected))});
    }

    // A cell identity names a row, not a list: the first list that shows such
    // a row with such a delegate, the page's lists before the rest of the window.
    void cellViewChoice_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("collapse");
        QTest::addColumn<QString>("expected");

        QTest::addRow("the page's list first") << "QStyledItemDelegate_indexpath_[0, 1]" << false << "plainList";
        QTest::addRow("a row only the dock's list has") << "QStyledItemDelegate_indexpath_[0, 12]" << false << "dockList";
        QTest::addRow("the delegate's class chooses") << "WexoCreator::BadgeDelegate_indexpath_[0, 1]" << false << "badgeList";
        QTest::addRow("a tree's child row") << "QStyledItemDelegate_indexpath_[2, 1]" << false << "dockTree";
        QTest::addRow("rows under collapsed sections are not shown") << "QStyledItemDelegate_indexpath_[2, 1]" << true << "";
        QTest::addRow("no list has the class") << "OtherDelegate_indexpath_[0, 1]" << false << "";
    }
    void cellViewChoice()
    {
        QFETCH(QString, frame);
        QFETCH(bool, collapse);
        QFETCH(QString, expected);

        m_host->tabs->setCurrentWidget(m_host->workPage);
        if (collapse)
            m_host->dockTree->collapseAll();
        const std::map<QString, QAbstractItemView *> views{
            {"plainList", m_host->workPage->plainList}, {"dockList", m_host->dockList},
            {"badgeList", m_host->workPage->badgeList}, {"dockTree", m_host->dockTree}, {"", nullptr}};
        const auto step = makeStep(0, frame, QStringLiteral("popup"));
        QCOMPARE(WTargetLocation::cellView(m_host->workPage, *step), views.at(expected));
    }

    // A popover at a cell: the row brought on screen at most once, the whole
    // row the hole, the card beside it; a cell not in the list shows nothing.
    // The walks over a widget tree; the recorder's walk stops at a window, the overlay's does not.
    void walksOverAKnownTree()
    {
        QWidget root;
        auto *a = new QFrame(&root);
        auto *a1 = new QLabel(a);
        auto *a2 = new QPushButton(a);
        auto *b = new QPushButton(&root);
        auto *b1 = new QLabel(b);
        auto *dialog = new QDialog(&root);
        auto *c = new QLabel(dialog);

        WOverlay overlay(nullptr, nullptr, nullptr);
        QCOMPARE(overlay.bundle(), QStringLiteral(":/WexoCreator/"));
        QVERIFY(overlay.topViewSubViews().isEmpty());
        overlay.listSubviews(&root);
        QCOMPARE(overlay.topViewSubViews(), (QList<QWidget *>{a, a1, a2, b, b1}));
        QCOMPARE(WOverlay::getSubviewsOf<QLabel>(&root), (QList<QLabel *>{a1, b1}));
        QCOMPARE(WOverlay::getSubviewsOf<QWidget>(&root), (QList<QWidget *>{a1, a2, a, b1, b}));
        QCOMPARE(WOverlay::getSubviewsOf<QAbstractButton>(b), QList<QAbstractButton *>());

        QCOMPARE(overlay.getViewHierarchyFor(b1, &root), (QList<QWidget *>{&root, b, b1}));
        QCOMPARE(overlay.getViewHierarchyFor(b1, b), (QList<QWidget *>{b, b1}));
        QCOMPARE(overlay.getViewHierarchyFor(a1, nullptr), (QList<QWidget *>{&root, a, a1}));
        QVERIFY(overlay.getViewHierarchyFor(&root, nullptr).isEmpty()); // not an entry
        overlay.listSubviews(b);
        QCOMPARE(overlay.getViewHierarchyFor(b1, b), (QList<QWidget *>{b, b1, b, b1}));
        a2->deleteLater();
        dropDeferred();
        QCOMPARE(overlay.topViewSubViews(), (QList<QWidget *>{a, a1, b, b1, b1}));

        QCOMPARE(ancestorChain(c, nullptr, WChainEnd::atRoot), (QList<QWidget *>{&root, dialog, c}));
        QCOMPARE(ancestorChain(c, nullptr, WChainEnd::atRootOrWindow), (QList<QWidget *>{dialog, c}));
        QCOMPARE(ancestorChain(b1, b, WChainEnd::atRootOrWindow), (QList<QWidget *>{b, b1}));
    }

    void cells_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("row"); // the row shown, -1 for none
        QTest::addColumn<bool>("scrolls");

        QTest::addRow("table row on screen") << 0 << "[0, 2]" << 2 << false;
        QTest::addRow("table row 150 of 200") << 0 << "[0, 150]" << 150 << true;
        QTest::addRow("grid item off screen") << 1 << "[0, 55]" << 55 << true;
        QTest::addRow("past the last row") << 0 << "[0, 250]" << -1 << false;
        QTest::addRow("no such section") << 0 << "[1, 2]" << -1 << false;
        QTest::addRow("empty list") << 2 << "[0, 0]" << -1 << false;
    }
    void cells()
    {
        QFETCH(int, tab);
        QFETCH(QString, cell);
        QFETCH(int, row);
        QFETCH(bool, scrolls);

        QAbstractItemView *view = QList<QAbstractItemView *>{m_host->targets->table, m_host->gridPage->grid, m_host->emptyPage->table}.at(tab);
        m_host->tabs->setCurrentIndex(tab);
        m_host->listDock->hide(); // rows of the docks' lists would be found instead
        m_host->treeDock->hide();
        QApplication::processEvents();
        const int before = view->verticalScrollBar()->value();
        WOverlay *overlay = show(QStringLiteral("popover"), QStringLiteral("QStyledItemDelegate_indexpath_") + cell);
        QCOMPARE(view->verticalScrollBar()->value() != before, scrolls);
        QCOMPARE(overlay->targets().size(), row < 0 ? 0 : 1);
        QCOMPARE(overlay->defaultPopupView() != nullptr, row >= 0);
        if (row < 0)
            return;
        const QRectF hole = overlay->targets().first();
        QVERIFY(rectOf(view->viewport()).contains(hole));
        QCOMPARE(view->indexAt(view->viewport()->mapFrom(m_host.get(), hole.center().toPoint())).row(), row);
        if (tab == 0) // every column, the grid line aside
            QVERIFY(qAbs(hole.width() - m_host->targets->table->horizontalHeader()->length()) <= 1);
        QVERIFY(!QRectF(overlay->defaultPopupView()->geometry()).intersects(hole));
    }

    // A marker kind at a row: the row brought on screen, the hole on it, the
    // marker at the row's corner for its kind, and its card beside the row.
    void markersOnRows_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("list");

        QTest::addRow("tooltip at a table row off screen") << "tooltip:bottom-left" << "targets" << "[0, 150]" << "table";
        QTest::addRow("pulse at a list row") << "pulse:top-right" << "work" << "[0, 3]" << "plainList";
        QTest::addRow("tooltip at a tree's child row") << "tooltip:top-left" << "work" << "[2, 1]" << "dockTree";
        QTest::addRow("pulse at a grid item off screen") << "pulse:bottom-right" << "grid" << "[0, 55]" << "grid";
    }
    void markersOnRows()
    {
        QFETCH(QString, display);
        QFETCH(QString, page);
        QFETCH(QString, cell);
        QFETCH(QString, list);

        const std::map<QString, QWidget *> pages{
            {"targets", m_host->targets}, {"work", m_host->workPage}, {"grid", m_host->gridPage}};
        const std::map<QString, QAbstractItemView *> lists{{"table", m_host->targets->table},
                                                           {"plainList", m_host->workPage->plainList},
                                                           {"dockTree", m_host->dockTree},
                                                           {"grid", m_host->gridPage->grid}};
        m_host->tabs->setCurrentWidget(pages.at(page));
        QAbstractItemView *view = lists.at(list);
        if (view != m_host->dockTree) {
            m_host->listDock->hide(); // rows of the docks' lists would be found instead
            m_host->treeDock->hide();
        }
        QApplication::processEvents();

        WOverlay *overlay = show(display, QStringLiteral("QStyledItemDelegate_indexpath_") + cell);
        QCOMPARE(overlay->targets().size(), 1);
        const QRectF hole = overlay->targets().first();
        QVERIFY(rectOf(view->viewport()).contains(hole));
        const QModelIndex shown = view->indexAt(view->viewport()->mapFrom(m_host.get(), hole.center().toPoint()));
        QCOMPARE(WHostQueries::indexPathOf(view, shown), overlay->currentWexoStep()->indexPathForElement());
        QVERIFY(!overlay->backdropPath().contains(hole.center()));

        QCOMPARE(overlay->markers().size(), 1);
        WPointerView *marker = overlay->markers().first();
        const QString corner = display.section(u':', 1);
        const QPointF expected(corner.endsWith(QLatin1String("left")) ? hole.left() : hole.right(),
                               corner.startsWith(QLatin1String("top")) ? hole.top() : hole.bottom());
        QCOMPARE(marker->position(), expected);

        QTest::mouseClick(marker, Qt::LeftButton, {}, marker->rect().center());
        QTRY_VERIFY(overlay->mobilePopupView() && overlay->mobilePopupView()->isVisible());
        QVERIFY(!QRectF(overlay->mobilePopupView()->geometry()).intersects(hole));
    }

    // A target not found dims with nothing on it; the debug log says which step and target.
    void missingTargetIsLogged_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("frame");

        QTest::addRow("pulse at no widget") << "pulse:top-left" << "noSuchWidget";
        QTest::addRow("popover at no row") << "popover" << "QStyledItemDelegate_indexpath_[0, 999]";
    }
    void missingTargetIsLogged()
    {
        QFETCH(QString, display);
        QFETCH(QString, frame);

        setDebugLogging(true);
        const auto quiet = qScopeGuard([] { setDebugLogging(false); });
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("step s-1: target %1 not found on this page").arg(frame)));
        WOverlay *overlay = show(display, frame);
        QVERIFY(overlay->targets().isEmpty());
        QVERIFY(overlay->markers().isEmpty() && !overlay->mobilePopupView() && !overlay->defaultPopupView());
    }
};

QTEST_MAIN(tst_WOverlay)
#include "tst_woverlay.moc"
