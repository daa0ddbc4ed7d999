#include "support/HostFixture.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/playback/UICollectionViewCellFinder.h"
#include "WexoCreator/playback/UITableViewCellFinder.h"
#include "WexoCreator/playback/WTargetLocation.h"

#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace WexoCreator;

namespace {

struct Recorder : UITableViewCellFinderDelegate, UICollectionViewCellFinderDelegate {
    int calls = 0;
    WIndexPath path{-1, -1};
    void didFindCell(const QModelIndex &, const WIndexPath &indexPath, QAbstractItemView *, const QRectF &) override
    {
        ++calls;
        path = indexPath;
    }
};

} // namespace

class tst_TargetLocation : public QObject
{
    Q_OBJECT

    std::unique_ptr<HostFixture> m_host;
    QWidget *m_space = nullptr; // stands where the overlay does: over the whole window

    QRectF rectOf(const QWidget *widget) const
    {
        return QRectF(QRect(widget->mapTo(m_host.get(), QPoint(0, 0)), widget->size()));
    }

private Q_SLOTS:
    void init()
    {
        m_host = std::make_unique<HostFixture>();
        m_space = new QWidget(m_host.get());
        m_space->setGeometry(m_host->rect());
        QVERIFY(m_host->showAndWait());
        WexolinManager::setTabBarController(m_host->tabs);
    }
    void cleanup()
    {
        WexolinManager::setTabBarController(nullptr);
        m_host.reset();
    }

    void widgetTargets_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("elementType");
        QTest::addColumn<QString>("expected"); // object path of the target, "tab:N", or "" when none

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
        QTest::addRow("unknown tab") << "tab_none" << "UITabBarButton" << "";
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
        m_host->tabs->tabBar()->setTabData(2, QStringLiteral("tab_twin"));
        m_host->tabs->tabBar()->setTabData(0, QStringLiteral("tab_twin"));
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
        const QList<QRectF> rects = WTargetLocation::transparentRects(*step, m_space);
        if (expected.isEmpty()) {
            QVERIFY(rects.isEmpty());
            return;
        }
        QCOMPARE(rects.size(), 1);
        if (expected.startsWith(QLatin1String("tab:"))) {
            const QTabBar *bar = m_host->tabs->tabBar();
            const QRect tab = bar->tabRect(expected.mid(4).toInt());
            QCOMPARE(rects.first(), QRectF(QRect(bar->mapTo(m_host.get(), tab.topLeft()), tab.size())));
            return;
        }
        const QWidget *target = expected == QLatin1String("page") ? m_host->targets
            : expected == QLatin1String("twin")                  ? m_host->targets->twin
            : expected == QLatin1String("tabNamesake")           ? m_host->targets->findChild<QPushButton *>(QStringLiteral("tab_grid"))
            : expected == QLatin1String("toolButton")            ? m_host->toolBar->widgetForAction(m_host->toolAction)
                                                                 : m_host->findChild<QWidget *>(expected);
        QVERIFY(target);
        QCOMPARE(rects.first(), rectOf(target));
    }

    void itemViewsInPageOrder()
    {
        QCOMPARE(WTargetLocation::tableView(m_host->targets), m_host->targets->table);
        QCOMPARE(WTargetLocation::collectionView(m_host->targets), nullptr);
        QCOMPARE(WTargetLocation::tableView(m_host->gridPage), nullptr);
        QCOMPARE(WTargetLocation::collectionView(m_host->gridPage), m_host->gridPage->grid);
        // A collection before the table hides the table from the table look-up.
        auto *mixed = new QWidget(m_host->tabs);
        auto *grid = new QListView(mixed);
        grid->setViewMode(QListView::IconMode);
        new QTableView(mixed);
        QCOMPARE(WTargetLocation::tableView(mixed), nullptr);
        QCOMPARE(WTargetLocation::collectionView(mixed), grid);
        // A page that is itself a table is its own table.
        auto *tablePage = new QTableView(m_host->tabs);
        QCOMPARE(WTargetLocation::tableView(tablePage), tablePage);
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

    void cells_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("scrolls");

        QTest::addRow("table row on screen") << "targets" << 0 << 2 << true << false;
        QTest::addRow("table row 150 of 200") << "targets" << 0 << 150 << true << true;
        QTest::addRow("grid item off screen") << "grid" << 0 << 55 << true << true;
        QTest::addRow("past the last row") << "targets" << 0 << 250 << false << false;
        QTest::addRow("no such section") << "targets" << 1 << 2 << false << false;
        QTest::addRow("empty list") << "empty" << 0 << 0 << false << false;
    }
    void cells()
    {
        QFETCH(QString, page);
        QFETCH(int, section);
        QFETCH(int, item);
        QFETCH(bool, found);
        QFETCH(bool, scrolls);

        QAbstractItemView *view = page == QLatin1String("grid") ? static_cast<QAbstractItemView *>(m_host->gridPage->grid)
            : page == QLatin1String("empty")                  ? m_host->emptyPage->table
                                                              : m_host->targets->table;
        m_host->tabs->setCurrentWidget(view->parentWidget());
        QApplication::processEvents();
        const int before = view->verticalScrollBar()->value();

        Recorder recorder;
        bool told = false;
        if (page == QLatin1String("grid")) {
            UICollectionViewCellFinder finder;
            finder.delegate = &recorder;
            told = finder.find(WIndexPath{section, item}, view, QRectF());
        } else {
            UITableViewCellFinder finder;
            finder.delegate = &recorder;
            told = finder.find(WIndexPath{section, item}, view, QRectF());
        }
        QCOMPARE(told, found);
        QCOMPARE(recorder.calls, found ? 1 : 0);
        QCOMPARE(view->verticalScrollBar()->value() != before, scrolls);
        if (!found)
            return;
        QCOMPARE(recorder.path.item, item);
        const std::optional<WItemViewCellFinder::Cell> cell = WItemViewCellFinder::locate(view, WIndexPath{section, item});
        QVERIFY(cell);
        // The whole row, inside the viewport, mapped into the overlay's space.
        const QRect viewport = QRect(view->viewport()->mapTo(view, QPoint(0, 0)), view->viewport()->size());
        QVERIFY(viewport.contains(cell->rect));
        // Every column (the grid line aside).
        if (page == QLatin1String("targets"))
            QVERIFY(qAbs(cell->rect.width() - m_host->targets->table->horizontalHeader()->length()) <= 1);
        const QRectF mapped = WTargetLocation::mapRect(view, cell->rect, m_space);
        QCOMPARE(mapped.topLeft(), QPointF(view->mapTo(m_host.get(), cell->rect.topLeft())));
    }
};

QTEST_MAIN(tst_TargetLocation)
#include "tst_targetlocation.moc"
