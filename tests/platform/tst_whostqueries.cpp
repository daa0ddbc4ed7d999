#include "WexoCreator/platform/WHostQueries.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace WexoCreator;

// Pages shaped like the sample host's: their class names are the page names.
class ProductListPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProductListPage(QWidget *parent = nullptr) : QWidget(parent)
    {
        auto *search = new QLineEdit(this);
        search->setObjectName(QStringLiteral("searchField"));
    }
};

class ProductDetailPage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class ShopPage : public QStackedWidget
{
    Q_OBJECT
public:
    explicit ShopPage(QWidget *parent = nullptr) : QStackedWidget(parent)
    {
        list = new ProductListPage(this);
        detail = new ProductDetailPage(this);
        addWidget(list);
        addWidget(detail);
    }
    ProductListPage *list;
    ProductDetailPage *detail;
};

class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(QWidget *parent = nullptr) : QWidget(parent)
    {
        save = new QPushButton(this);
        save->setObjectName(QStringLiteral("saveButton"));
    }
    QPushButton *save;
};

class SampleHostWindow : public QMainWindow
{
    Q_OBJECT
public:
    SampleHostWindow()
    {
        tabs = new QTabWidget(this);
        tabs->setObjectName(QStringLiteral("mainTabs"));
        shop = new ShopPage;
        settings = new SettingsPage;
        tabs->addTab(shop, QStringLiteral("Shop"));
        tabs->addTab(settings, QStringLiteral("Settings"));
        tabs->tabBar()->setTabData(0, QStringLiteral("tab_shop"));
        tabs->tabBar()->setTabData(1, QStringLiteral("tab_settings"));
        setCentralWidget(tabs);
        resize(400, 300);
    }
    QTabWidget *tabs;
    ShopPage *shop;
    SettingsPage *settings;
};

class tst_WHostQueries : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SampleHostWindow> m_host;

    // Opens a window-modal dialog the way library and host code do: open(), never exec().
    static QDialog *openDialog(QWidget *parent, bool modal = true)
    {
        auto *dialog = new QDialog(parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        if (modal)
            dialog->open();
        else
            dialog->show();
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
        for (QWidget *window : QApplication::topLevelWidgets())
            window->deleteLater();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void topPage_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected");

        QTest::addRow("tab's stack shows its current page") << "" << "ProductListPage";
        QTest::addRow("stack switched to its second page") << "detail" << "ProductDetailPage";
        QTest::addRow("second tab") << "settings" << "SettingsPage";
        QTest::addRow("modal dialog opened from a page") << "settings dialog" << "QDialog";
        QTest::addRow("dialog opened from a widget inside the page") << "settings buttonDialog" << "QDialog";
        QTest::addRow("dialog over a dialog") << "settings nestedDialog" << "NestedDialog";
        QTest::addRow("non-modal window is not presented") << "settings modeless" << "SettingsPage";
        QTest::addRow("dialog of a page not shown") << "shopDialogThenSettings" << "SettingsPage";
        QTest::addRow("closed dialog") << "settings closedDialog" << "SettingsPage";
        QTest::addRow("tab widget without tabs") << "noTabs" << "QTabWidget";
        QTest::addRow("stack without pages") << "emptyStack" << "QStackedWidget";
        QTest::addRow("main window without central widget") << "noCentral" << "SampleHostWindow";
    }

    void topPage()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, expected);

        const QStringList steps = scenario.split(u' ', Qt::SkipEmptyParts);
        for (const QString &step : steps) {
            if (step == QLatin1String("detail")) {
                m_host->shop->setCurrentWidget(m_host->shop->detail);
            } else if (step == QLatin1String("settings")) {
                m_host->tabs->setCurrentWidget(m_host->settings);
            } else if (step == QLatin1String("dialog")) {
                openDialog(m_host->settings);
            } else if (step == QLatin1String("buttonDialog")) {
                openDialog(m_host->settings->save);
            } else if (step == QLatin1String("nestedDialog")) {
                QDialog *first = openDialog(m_host->settings);
                openDialog(first)->setObjectName(QStringLiteral("NestedDialog"));
            } else if (step == QLatin1String("modeless")) {
                openDialog(m_host->settings, false);
            } else if (step == QLatin1String("shopDialogThenSettings")) {
                openDialog(m_host->shop->list);
                m_host->tabs->setCurrentWidget(m_host->settings);
            } else if (step == QLatin1String("closedDialog")) {
                openDialog(m_host->settings)->close();
            } else if (step == QLatin1String("noTabs")) {
                m_host->setCentralWidget(new QTabWidget);
            } else if (step == QLatin1String("emptyStack")) {
                m_host->setCentralWidget(new QStackedWidget);
            } else if (step == QLatin1String("noCentral")) {
                m_host = std::make_unique<SampleHostWindow>();
                delete m_host->takeCentralWidget();
            }
        }

        QWidget *top = WHostQueries::wTopViewController();
        QVERIFY(top);
        const QString name = top->objectName() == QLatin1String("NestedDialog") ? top->objectName()
                                                                                 : WHostQueries::pageName(top);
        QCOMPARE(name, expected);
    }

    void walkStartsFromGivenPage()
    {
        m_host->shop->setCurrentWidget(m_host->shop->detail);
        QCOMPARE(WHostQueries::wTopViewController(m_host->shop), m_host->shop->detail);
        QCOMPARE(WHostQueries::wTopViewController(m_host->settings), m_host->settings);
    }

    void withoutMainWindowTheActiveWindowIsUsed()
    {
        m_host.reset();
        QWidget window;
        auto *page = new QTabWidget(&window);
        window.show();
        QApplication::setActiveWindow(&window);
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QCOMPARE(WHostQueries::hostWindow(), &window);
        QCOMPARE(WHostQueries::wTopViewController(), &window);
        Q_UNUSED(page);
    }

    void withoutAnyWindowThereIsNoTopPage()
    {
        m_host.reset();
        QCOMPARE(WHostQueries::hostWindow(), nullptr);
        QCOMPARE(WHostQueries::wTopViewController(), nullptr);
    }

    void hiddenMainWindowIsStillTheHost()
    {
        m_host->hide();
        QCOMPARE(WHostQueries::hostWindow(), m_host.get());
    }

    void pageOfWidget_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("expected");

        QTest::addRow("field in a stack page") << "searchField" << "ProductListPage";
        QTest::addRow("stack page itself") << "list" << "ProductListPage";
        QTest::addRow("button in a tab page") << "saveButton" << "SettingsPage";
        QTest::addRow("tab page that is a stack") << "shop" << "ShopPage";
        QTest::addRow("central widget") << "mainTabs" << "QTabWidget";
        QTest::addRow("dock outside the central widget") << "dock" << "SampleHostWindow";
        QTest::addRow("widget in a dialog") << "dialogLabel" << "QDialog";
    }

    void pageOfWidget()
    {
        QFETCH(QString, widget);
        QFETCH(QString, expected);

        auto *dock = new QDockWidget(m_host.get());
        dock->setObjectName(QStringLiteral("dock"));
        m_host->addDockWidget(Qt::LeftDockWidgetArea, dock);
        auto *dialog = new QDialog(m_host->settings);
        (new QLabel(dialog))->setObjectName(QStringLiteral("dialogLabel"));
        m_host->shop->list->setObjectName(QStringLiteral("list"));
        m_host->shop->setObjectName(QStringLiteral("shop"));

        QWidget *start = m_host->findChild<QWidget *>(widget);
        QVERIFY(start);
        QCOMPARE(WHostQueries::pageName(WHostQueries::pageOf(start)), expected);
    }

    void tabIdentifiers_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("expected");

        QTest::addRow("string") << QVariant(QStringLiteral("tab_shop")) << "tab_shop";
        QTest::addRow("empty string") << QVariant(QString()) << "<none>";
        QTest::addRow("number") << QVariant(7) << "<none>";
        QTest::addRow("nothing") << QVariant() << "<none>";
    }

    void tabIdentifiers()
    {
        QFETCH(QVariant, data);
        QFETCH(QString, expected);

        QTabBar *bar = m_host->tabs->tabBar();
        bar->setTabData(0, data);
        QCOMPARE(WHostQueries::tabItemIdentifier(bar, 0).value_or(QStringLiteral("<none>")), expected);
        QCOMPARE(WHostQueries::tabIndexWithIdentifier(bar, QStringLiteral("tab_settings")), std::optional<int>(1));
        QVERIFY(!WHostQueries::tabItemIdentifier(bar, 5));
        QVERIFY(!WHostQueries::tabItemIdentifier(nullptr, 0));
    }

    void writingATabIdentifier()
    {
        QTabBar *bar = m_host->tabs->tabBar();
        WHostQueries::setTabItemIdentifier(bar, 1, QStringLiteral("renamed"));
        QCOMPARE(WHostQueries::tabIndexWithIdentifier(bar, QStringLiteral("renamed")), std::optional<int>(1));
        WHostQueries::setTabItemIdentifier(bar, 1, std::nullopt);
        QVERIFY(!WHostQueries::tabItemIdentifier(bar, 1));
        WHostQueries::setTabItemIdentifier(bar, 9, QStringLiteral("out of range"));
    }

    void cellAtIndexPath_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("expected");

        QTest::addRow("flat: section 0") << false << 0 << 2 << "row 2";
        QTest::addRow("flat: other section") << false << 1 << 0 << "<none>";
        QTest::addRow("flat: past the end") << false << 0 << 12 << "<none>";
        QTest::addRow("flat: negative") << false << 0 << -1 << "<none>";
        QTest::addRow("tree: item under section") << true << 1 << 2 << "child 1.2";
        QTest::addRow("tree: missing section") << true << 3 << 0 << "<none>";
        QTest::addRow("tree: missing item") << true << 0 << 3 << "<none>";
    }

    void cellAtIndexPath()
    {
        QFETCH(bool, tree);
        QFETCH(int, section);
        QFETCH(int, item);
        QFETCH(QString, expected);

        QStandardItemModel model;
        if (tree) {
            for (int s = 0; s < 3; ++s) {
                auto *parent = new QStandardItem(QStringLiteral("section %1").arg(s));
                for (int i = 0; i < 3; ++i)
                    parent->appendRow(new QStandardItem(QStringLiteral("child %1.%2").arg(s).arg(i)));
                model.appendRow(parent);
            }
        } else {
            for (int row = 0; row < 12; ++row)
                model.appendRow(new QStandardItem(QStringLiteral("row %1").arg(row)));
        }
        QTreeView view;
        view.setModel(&model);

        const QModelIndex index = WHostQueries::cellIndex(&view, WIndexPath{section, item});
        QCOMPARE(index.isValid() ? index.data().toString() : QStringLiteral("<none>"), expected);
        if (index.isValid())
            QCOMPARE(WHostQueries::indexPathOf(&view, index), std::optional<WIndexPath>(WIndexPath{section, item}));
    }

    void sectionRowOfATreeIsNoCell()
    {
        QStandardItemModel model;
        auto *parent = new QStandardItem(QStringLiteral("section"));
        parent->appendRow(new QStandardItem(QStringLiteral("child")));
        model.appendRow(parent);
        QTreeView view;
        view.setModel(&model);
        QVERIFY(!WHostQueries::indexPathOf(&view, model.index(0, 0)));
        QStandardItemModel other;
        other.appendRow(new QStandardItem(QStringLiteral("foreign")));
        QVERIFY(!WHostQueries::indexPathOf(&view, other.index(0, 0)));
    }

    void viewKinds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("collection");

        QTest::addRow("list in list mode") << "list" << false;
        QTest::addRow("list in icon mode") << "icons" << true;
        QTest::addRow("table") << "table" << false;
        QTest::addRow("tree") << "tree" << false;
    }

    void viewKinds()
    {
        QFETCH(QString, kind);
        QFETCH(bool, collection);

        std::unique_ptr<QAbstractItemView> view;
        if (kind == QLatin1String("table")) {
            view = std::make_unique<QTableView>();
        } else if (kind == QLatin1String("tree")) {
            view = std::make_unique<QTreeView>();
        } else {
            auto list = std::make_unique<QListView>();
            list->setViewMode(kind == QLatin1String("icons") ? QListView::IconMode : QListView::ListMode);
            view = std::move(list);
        }
        QCOMPARE(WHostQueries::isCollectionView(view.get()), collection);
        QCOMPARE(WHostQueries::isTableView(view.get()), !collection);
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

        QVERIFY(WHostQueries::isCellLoaded(&view, WHostQueries::cellIndex(&view, {0, 0})));
        QVERIFY(!WHostQueries::isCellLoaded(&view, WHostQueries::cellIndex(&view, {0, 99})));
        const QList<WIndexPath> visible = WHostQueries::visibleIndexPaths(&view);
        QVERIFY(!visible.isEmpty());
        QCOMPARE(visible.first(), (WIndexPath{0, 0}));
        QVERIFY(visible.size() < 100);

        view.scrollTo(model.index(99, 0), QAbstractItemView::PositionAtCenter);
        QVERIFY(WHostQueries::isCellLoaded(&view, WHostQueries::cellIndex(&view, {0, 99})));
        QCOMPARE(WHostQueries::cellClassName(&view, model.index(99, 0)), QStringLiteral("QStyledItemDelegate"));
    }
};

QTEST_MAIN(tst_WHostQueries)
#include "tst_whostqueries.moc"
