#include "WexoCreator/platform/WHostQueries.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace WexoCreator;

// Pages shaped like the sample host's; their class names are the page names.
class ProductListPage : public QWidget
{
    Q_OBJECT
};

class ProductDetailPage : public QWidget
{
    Q_OBJECT
};

class SettingsPage : public QWidget
{
    Q_OBJECT
};

class ShopPage : public QStackedWidget
{
    Q_OBJECT
public:
    ShopPage()
    {
        addWidget(list);
        addWidget(detail);
        (new QLineEdit(list))->setObjectName(QStringLiteral("searchField"));
    }
    ProductListPage *list = new ProductListPage;
    ProductDetailPage *detail = new ProductDetailPage;
};

class SampleHostWindow : public QMainWindow
{
    Q_OBJECT
public:
    SampleHostWindow()
    {
        tabs->addTab(shop, QStringLiteral("Shop"));
        tabs->addTab(settings, QStringLiteral("Settings"));
        tabs->tabBar()->setTabData(1, QStringLiteral("tab_settings"));
        (new QPushButton(settings))->setObjectName(QStringLiteral("saveButton"));
        setCentralWidget(tabs);
    }
    QTabWidget *tabs = new QTabWidget;
    ShopPage *shop = new ShopPage;
    SettingsPage *settings = new SettingsPage;
};

class tst_WHostQueries : public QObject
{
    Q_OBJECT

    std::unique_ptr<SampleHostWindow> m_host;

    // Opened as library and host code do: open(), never exec().
    static QDialog *openDialog(QWidget *parent, const QString &name = QString())
    {
        auto *dialog = new QDialog(parent);
        dialog->setObjectName(name);
        dialog->open();
        return dialog;
    }

private Q_SLOTS:
    void init()
    {
        m_host = std::make_unique<SampleHostWindow>();
        m_host->show();
    }

    void cleanup()
    {
        m_host.reset();
        qDeleteAll(QApplication::topLevelWidgets());
    }

    void topPage_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected"); // object name, else page name

        QTest::addRow("tab's stack shows its current page") << "" << "ProductListPage";
        QTest::addRow("stack switched to its second page") << "detail" << "ProductDetailPage";
        QTest::addRow("second tab") << "settings" << "SettingsPage";
        QTest::addRow("modal dialog opened from a page") << "settings dialog" << "dialog";
        QTest::addRow("dialog opened from a button in the page") << "settings buttonDialog" << "dialog";
        QTest::addRow("dialog over a dialog") << "settings nestedDialog" << "nested";
        QTest::addRow("dialog opened from the main window") << "settings windowDialog" << "dialog";
        QTest::addRow("modeless window is not presented") << "settings modeless" << "SettingsPage";
        QTest::addRow("dialog of a page no longer shown") << "shopDialog settings" << "SettingsPage";
        QTest::addRow("tab widget without tabs") << "noTabs" << "QTabWidget";
        QTest::addRow("stack without pages") << "emptyStack" << "QStackedWidget";
        QTest::addRow("main window without central widget") << "noCentral" << "SampleHostWindow";
    }
    void topPage()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, expected);

        for (const QString &step : scenario.split(u' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("detail"))
                m_host->shop->setCurrentWidget(m_host->shop->detail);
            else if (step == QLatin1String("settings"))
                m_host->tabs->setCurrentWidget(m_host->settings);
            else if (step == QLatin1String("dialog"))
                openDialog(m_host->settings, QStringLiteral("dialog"));
            else if (step == QLatin1String("buttonDialog"))
                openDialog(m_host->settings->findChild<QPushButton *>(), QStringLiteral("dialog"));
            else if (step == QLatin1String("windowDialog"))
                openDialog(m_host.get(), QStringLiteral("dialog"));
            else if (step == QLatin1String("nestedDialog"))
                openDialog(openDialog(m_host->settings), QStringLiteral("nested"));
            else if (step == QLatin1String("modeless"))
                (new QDialog(m_host->settings))->show();
            else if (step == QLatin1String("shopDialog"))
                openDialog(m_host->shop->list);
            else if (step == QLatin1String("noTabs"))
                m_host->setCentralWidget(new QTabWidget);
            else if (step == QLatin1String("emptyStack"))
                m_host->setCentralWidget(new QStackedWidget);
            else if (step == QLatin1String("noCentral"))
                delete m_host->takeCentralWidget();
        }

        QWidget *top = WHostQueries::wTopViewController();
        QVERIFY(top);
        QCOMPARE(top->objectName().isEmpty() ? WHostQueries::pageName(top) : top->objectName(), expected);
    }

    void hostWindowFallsBackToTheActiveWindow()
    {
        m_host->hide();
        QCOMPARE(WHostQueries::hostWindow(), m_host.get());
        m_host.reset();
        QCOMPARE(WHostQueries::wTopViewController(), nullptr);

        QWidget window;
        window.show();
        QApplication::setActiveWindow(&window);
        QTRY_COMPARE(WHostQueries::hostWindow(), &window);
        QCOMPARE(WHostQueries::wTopViewController(), &window);
    }

    void pageOfWidget_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<bool>("settingsShown");
        QTest::addColumn<QString>("expected");

        QTest::addRow("field in a stack page") << "searchField" << false << "ProductListPage";
        QTest::addRow("button in a tab page") << "saveButton" << true << "SettingsPage";
        QTest::addRow("dock belongs to the page shown") << "dock" << false << "ProductListPage";
        QTest::addRow("tool bar button, first tab") << "toolButton" << false << "ProductListPage";
        QTest::addRow("tool bar button, second tab") << "toolButton" << true << "SettingsPage";
        QTest::addRow("main window nested in a dock") << "innerWindowButton" << true << "SettingsPage";
        QTest::addRow("stack nested in a page") << "nestedStackButton" << true << "SettingsPage";
        QTest::addRow("widget in a dialog") << "inDialog" << false << "QDialog";
    }
    void pageOfWidget()
    {
        QFETCH(QString, widget);
        QFETCH(bool, settingsShown);
        QFETCH(QString, expected);

        auto *dock = new QDockWidget(m_host.get());
        m_host->addDockWidget(Qt::LeftDockWidgetArea, dock);
        // Its central widget was a page of its own before: nothing ever showed it as the top page.
        auto *inner = new QMainWindow;
        inner->setCentralWidget(new SettingsPage);
        auto *innerButton = new QPushButton(inner->centralWidget());
        auto *innerDock = new QDockWidget(m_host.get());
        innerDock->setWidget(inner);
        m_host->addDockWidget(Qt::RightDockWidgetArea, innerDock);
        auto *nested = new QStackedWidget(m_host->settings);
        auto *nestedButton = new QPushButton;
        nested->addWidget(nestedButton);
        auto *toolButton = new QPushButton;
        m_host->addToolBar(QStringLiteral("tools"))->addWidget(toolButton);
        if (settingsShown)
            m_host->tabs->setCurrentWidget(m_host->settings);
        const std::map<QString, QWidget *> widgets{
            {"searchField", m_host->findChild<QLineEdit *>()}, {"saveButton", m_host->settings->findChild<QPushButton *>()},
            {"dock", dock}, {"toolButton", toolButton}, {"innerWindowButton", innerButton},
            {"nestedStackButton", nestedButton}, {"inDialog", new QWidget(new QDialog(m_host->settings))}};
        QCOMPARE(WHostQueries::pageName(WHostQueries::pageOf(widgets.at(widget))), expected);
    }

    void tabIdentifiers_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("expected"); // empty: no identifier

        QTest::addRow("string") << QVariant(QStringLiteral("tab_shop")) << "tab_shop";
        QTest::addRow("empty string") << QVariant(QString()) << "";
        QTest::addRow("number") << QVariant(7) << "";
    }
    void tabIdentifiers()
    {
        QFETCH(QVariant, data);
        QFETCH(QString, expected);

        QTabBar *bar = m_host->tabs->tabBar();
        bar->setTabData(0, data);
        QCOMPARE(WHostQueries::tabItemIdentifier(bar, 0), expected.isEmpty() ? std::nullopt : std::optional(expected));
        QCOMPARE(WHostQueries::tabIndexWithIdentifier(bar, QStringLiteral("tab_settings")), std::optional<int>(1));
        QVERIFY(!WHostQueries::tabItemIdentifier(bar, 5));
        WHostQueries::setTabItemIdentifier(bar, 1, std::nullopt);
        QVERIFY(!WHostQueries::tabIndexWithIdentifier(bar, QStringLiteral("tab_settings")));
    }

    void cellAtIndexPath_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<qint64>("section");
        QTest::addColumn<qint64>("item");
        QTest::addColumn<QString>("expected");
        // Narrowed to int these would wrap onto row 2 and section 1.
        constexpr qint64 wrapsToTwo = (qint64(1) << 32) + 2;
        constexpr qint64 wrapsToOne = (qint64(1) << 32) + 1;

        QTest::addRow("flat: section 0") << false << qint64(0) << qint64(2) << "row 2";
        QTest::addRow("flat: other section") << false << qint64(1) << qint64(0) << "";
        QTest::addRow("flat: past the end") << false << qint64(0) << qint64(12) << "";
        QTest::addRow("flat: negative") << false << qint64(0) << qint64(-1) << "";
        QTest::addRow("flat: beyond int") << false << qint64(0) << wrapsToTwo << "";
        QTest::addRow("tree: item under section") << true << qint64(1) << qint64(2) << "child 1.2";
        QTest::addRow("tree: section beyond int") << true << wrapsToOne << qint64(2) << "";
        QTest::addRow("tree: item beyond int") << true << qint64(1) << wrapsToTwo << "";
        QTest::addRow("tree: missing section") << true << qint64(3) << qint64(0) << "";
        QTest::addRow("tree: missing item") << true << qint64(0) << qint64(3) << "";
    }
    void cellAtIndexPath()
    {
        QFETCH(bool, tree);
        QFETCH(qint64, section);
        QFETCH(qint64, item);
        QFETCH(QString, expected);

        QStandardItemModel model;
        for (int row = 0; row < (tree ? 3 : 12); ++row) {
            auto *parent = new QStandardItem(QStringLiteral("row %1").arg(row));
            for (int child = 0; tree && child < 3; ++child)
                parent->appendRow(new QStandardItem(QStringLiteral("child %1.%2").arg(row).arg(child)));
            model.appendRow(parent);
        }
        QTreeView view;
        view.setModel(&model);

        const QModelIndex index = WHostQueries::cellIndex(&view, WIndexPath{section, item});
        QCOMPARE(index.data().toString(), expected);
        if (index.isValid())
            QCOMPARE(WHostQueries::indexPathOf(&view, index), std::optional<WIndexPath>(WIndexPath{section, item}));
        if (tree) // the top-level rows of a tree are its sections, not cells
            QVERIFY(!WHostQueries::indexPathOf(&view, model.index(0, 0)));
    }

    void cellsOutsideTheViewportAreNotLoaded()
    {
        QStandardItemModel model;
        for (int row = 0; row < 100; ++row)
            model.appendRow(new QStandardItem(QStringLiteral("product %1").arg(row)));
        QListView view;
        view.setModel(&model);
        view.resize(200, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(WHostQueries::isTableView(&view));

        const QModelIndex last = WHostQueries::cellIndex(&view, {0, 99});
        QVERIFY(WHostQueries::isCellLoaded(&view, WHostQueries::cellIndex(&view, {0, 0})));
        QVERIFY(!WHostQueries::isCellLoaded(&view, last));
        const QList<WIndexPath> visible = WHostQueries::visibleIndexPaths(&view);
        QVERIFY(!visible.isEmpty() && visible.size() < 100);
        QCOMPARE(visible.first(), (WIndexPath{0, 0}));

        view.scrollTo(last, QAbstractItemView::PositionAtCenter);
        QVERIFY(WHostQueries::isCellLoaded(&view, last));
        QCOMPARE(WHostQueries::cellClassName(&view, last), QStringLiteral("QStyledItemDelegate"));
        view.setViewMode(QListView::IconMode);
        QVERIFY(WHostQueries::isCollectionView(&view));
    }
};

QTEST_MAIN(tst_WHostQueries)
#include "tst_whostqueries.moc"
