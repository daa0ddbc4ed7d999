#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoItemListViewController.h"
#include "WexoCreator/recording/WexoSteps.h"
#include "support/BackendFixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace WexoCreator;

Q_DECLARE_METATYPE(WexoCreator::WIndexPath)

namespace {

const QString kCreate = QStringLiteral("/mobileApi/walkthroughElements/createElementIos");

// A host page with widgets placed by hand.
class RecPage : public QWidget
{
    Q_OBJECT
public:
    RecPage()
    {
        auto *button = new QPushButton(QStringLiteral("Open"), this);
        button->setObjectName(QStringLiteral("openDetailButton"));
        button->setGeometry(100, 10, 140, 40);
        (new QLineEdit(this))->setGeometry(260, 10, 100, 40); // no identity
        auto *list = new QListView(this);
        list->setObjectName(QStringLiteral("productList"));
        // More rows than it shows, above a scroll bar.
        list->setModel(new QStringListModel(QStringLiteral("Tea Coffee Cocoa Juice Milk Water Soda Lemonade").split(u' '), list));
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setGeometry(100, 60, 200, 110);
        auto *table = new QTableView(this);
        table->setObjectName(QStringLiteral("orderTable"));
        auto *orders = new QStandardItemModel(3, 2, table);
        table->setModel(orders);
        table->setGeometry(100, 180, 250, 120);
        auto *tree = new QTreeView(this);
        tree->setObjectName(QStringLiteral("settingsTree"));
        auto *sections = new QStandardItemModel(tree);
        for (const char *section : {"General", "Privacy"}) {
            auto *item = new QStandardItem(QLatin1String(section));
            item->appendRow(new QStandardItem(QStringLiteral("first")));
            item->appendRow(new QStandardItem(QStringLiteral("second")));
            sections->appendRow(item);
        }
        tree->setModel(sections);
        tree->expandAll();
        tree->setGeometry(100, 310, 250, 160);
    }
};

class SettingsPage : public QWidget
{
    Q_OBJECT
};

} // namespace

class tst_RecordingCallbacks : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    RecPage *m_page = nullptr;
    QTabWidget *m_tabs = nullptr;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }
    WPlayConsole *console() { return launcher()->wConsoleMenu(); }
    QWindow *window() { return m_host->windowHandle(); }
    QWidget *named(const QString &name) { return m_host->findChild<QWidget *>(name); }
    WAlert *prompt() { return launcher()->view()->findChild<WAlert *>(QStringLiteral("wexoNameAlert")); }
    QPoint at(QWidget *widget, const QPoint &offset) { return widget->mapTo(m_host.get(), offset); }

    QList<QJsonObject> sentBodies()
    {
        QList<QJsonObject> bodies;
        for (const WexoSample::RecordedRequest &request : m_backend->backend().requests(kCreate))
            bodies.append(QJsonDocument::fromJson(request.body).object());
        return bodies;
    }

    void startRecording(WexoOptionType type)
    {
        WexolinManager::setWexo(QStringLiteral("Tour"));
        WexolinManager::setCurrentWexoType(type);
        WexoOption option;
        option.type = type;
        launcher()->onOptionSelected(option);
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);
    }

    // A click the outline view turns into a pick at `offset` inside `widget`.
    void pickAt(QWidget *widget, const QPoint &offset = QPoint(5, 5))
    {
        QTest::mouseClick(window(), Qt::LeftButton, {}, at(widget, offset) + QPoint(1, 2));
    }

    QPoint crossHairCentre() { return at(launcher()->crossHair(), launcher()->crossHair()->rect().center()); }

    // Drags the crosshair so that its pick lands at `offset` inside `widget`.
    void aimAt(QWidget *widget, const QPoint &offset)
    {
        QTest::mousePress(window(), Qt::LeftButton, {}, crossHairCentre());
        const QPoint target = at(widget, offset) + QPoint(1, 2);
        QTest::mouseMove(window(), (crossHairCentre() + target) / 2);
        QTest::mouseMove(window(), target);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, target);
    }

    // Lets anything already sent reach the backend: a request made now is
    // answered after those made before it.
    void settle()
    {
        bool answered = false;
        WWebApiInterface::getTheme([&answered](std::shared_ptr<Theme>) { answered = true; });
        QTRY_VERIFY(answered);
    }

    // Exactly `count` steps reach the backend, also once everything sent has arrived.
    void expectPosts(int count)
    {
        if (count)
            QTRY_COMPARE(sentBodies().size(), count);
        settle();
        QCOMPARE(sentBodies().size(), count);
    }

    // Reloads the feed and returns once the launcher has handled the
    // download-complete notification: its queued handler runs before ours.
    void reloadAndSettle()
    {
        bool handled = false;
        QObject context;
        WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                         [&handled](const QVariantMap &) { WPerform::onMainThread([&handled] { handled = true; }); });
        launcher()->reloadFeed();
        QTRY_VERIFY(handled);
    }

    void clickButton(QPushButton *button) { QTest::mouseClick(window(), Qt::LeftButton, {}, at(button, button->rect().center())); }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());

        m_host = std::make_unique<QMainWindow>();
        m_tabs = new QTabWidget;
        m_tabs->setObjectName(QStringLiteral("mainTabs"));
        m_page = new RecPage;
        m_tabs->addTab(m_page, QStringLiteral("Shop"));
        m_tabs->addTab(new SettingsPage, QStringLiteral("Settings"));
        m_tabs->tabBar()->setTabData(1, QStringLiteral("tab_settings"));
        m_host->setCentralWidget(m_tabs);
        m_host->resize(480, 640);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));

        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
        WexolinManager::setTabBarController(m_tabs);
        bool loggedIn = false;
        WexolinManager::loginAdmin(m_backend->backend().adminEmail(), m_backend->backend().adminPassword(),
                                   [&loggedIn](bool ok) { loggedIn = ok; });
        QTRY_VERIFY(loggedIn);
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), console());
    }

    void init()
    {
        m_backend->backend().clearRequests();
        m_backend->backend().clearScripts();
    }

    void cleanup()
    {
        if (WAlert *open = prompt())
            open->reject();
        if (launcher()->presentedViewController())
            launcher()->dismiss(false);
        launcher()->onCancelTarget(nullptr);
        launcher()->endRecording();
        WexoSteps::shared().steps.clear();
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), console());
    }

    void pickReactsToTheRecordingType_data()
    {
        QTest::addColumn<WexoOptionType>("type");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("posts");
        QTest::addColumn<bool>("prompts");

        QTest::addRow("record posts") << WexoOptionType::record << "openDetailButton" << 1 << false;
        QTest::addRow("screen prompts") << WexoOptionType::screen << "openDetailButton" << 0 << true;
        QTest::addRow("element prompts") << WexoOptionType::element << "openDetailButton" << 0 << true;
        QTest::addRow("paused posts nothing") << WexoOptionType::pauseRecord << "openDetailButton" << 0 << false;
        QTest::addRow("no identity posts nothing") << WexoOptionType::record << "" << 0 << false;
    }
    void pickReactsToTheRecordingType()
    {
        QFETCH(WexoOptionType, type);
        QFETCH(QString, widget);
        QFETCH(int, posts);
        QFETCH(bool, prompts);

        startRecording(type == WexoOptionType::pauseRecord ? WexoOptionType::record : type);
        WexolinManager::setCurrentWexoType(type);
        pickAt(widget.isEmpty() ? m_page->findChild<QLineEdit *>() : named(widget));
        QCOMPARE(launcher()->targettedView.data(), widget.isEmpty() ? m_page->findChild<QLineEdit *>() : named(widget));
        QCOMPARE(prompt() != nullptr, prompts);
        expectPosts(posts);
        if (posts) {
            const QJsonObject body = sentBodies().first();
            QCOMPARE(body.value("className").toString(), QStringLiteral("RecPage"));
            QCOMPARE(body.value("value").toString(), widget);
            QCOMPARE(body.value("elementName").toString(), QStringLiteral("QPushButton"));
            QCOMPARE(body.value("name").toString(), QStringLiteral("Tour"));
        }
    }

    void aPressWithMovesPostsOnce()
    {
        startRecording(WexoOptionType::record);
        QTest::mousePress(window(), Qt::LeftButton, {}, at(named("openDetailButton"), QPoint(5, 5)) + QPoint(1, 2));
        QTest::mouseMove(window(), at(named("productList"), QPoint(5, 5)));
        QTest::mouseMove(window(), at(named("orderTable"), QPoint(5, 5)));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, at(named("orderTable"), QPoint(5, 5)));
        expectPosts(1);
        QCOMPARE(sentBodies().first().value("value").toString(), QStringLiteral("openDetailButton"));
        QVERIFY(named("orderTable")->isAncestorOf(launcher()->targettedView));
    }

    // The name prompt blocks host clicks, host keys and the console while it
    // is up; afterwards the console has its slot back (after Ok, once the
    // menu it opens has closed).
    void namePrompt_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("posts");
        QTest::addColumn<bool>("inspectorOn");
        QTest::addColumn<bool>("menuOpened");

        QTest::addRow("Ok with a name") << "Ok" << "Checkout tour" << 1 << false << true;
        QTest::addRow("Ok without a name") << "Ok" << "" << 0 << true << false;
        QTest::addRow("Cancel") << "Cancel" << "ignored" << 0 << false << false;
        QTest::addRow("Escape") << "Escape" << "ignored" << 0 << false << false;
    }
    void namePrompt()
    {
        QFETCH(QString, answer);
        QFETCH(QString, name);
        QFETCH(int, posts);
        QFETCH(bool, inspectorOn);
        QFETCH(bool, menuOpened);

        startRecording(WexoOptionType::screen);
        pickAt(named("openDetailButton"));
        QVERIFY(prompt() && prompt()->isVisible());
        QVERIFY(!launcher()->window()->wConsoleButton() && !launcher()->window()->alert());

        auto *button = static_cast<QPushButton *>(named("openDetailButton"));
        QSignalSpy hostClicks(button, &QPushButton::clicked);
        auto *field = m_page->findChild<QLineEdit *>();
        WexolinManager::disableIntrospect(); // the outline view out of the way: only modality holds the clicks
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 0.0);
        clickButton(button);
        QTest::keyClick(window(), Qt::Key_A);
        QCOMPARE(hostClicks.count(), 0);
        QVERIFY(field->text().isEmpty());
        clickButton(console()->wMenuButton());
        QVERIFY(!launcher()->presentedViewController());
        WexolinManager::enableIntrospect();

        prompt()->textFields().first()->setText(name);
        if (answer == QLatin1String("Escape"))
            QTest::keyClick(prompt(), Qt::Key_Escape);
        else
            QTest::mouseClick(prompt()->actionButton(answer), Qt::LeftButton);
        QTRY_VERIFY(!prompt());
        QCOMPARE(WexolinManager::inspector().on, inspectorOn);
        QCOMPARE(launcher()->presentedViewController() != nullptr, menuOpened);
        QCOMPARE(launcher()->window()->wConsoleButton() != nullptr, !menuOpened);
        if (menuOpened)
            launcher()->dismiss(false);
        QCOMPARE(launcher()->window()->wConsoleButton(), console());
        expectPosts(posts);
        if (posts) {
            const QJsonObject body = sentBodies().first();
            QCOMPARE(body.value("name").toString(), name);
            QCOMPARE(body.value("stepNumber").toInt(), 0);
            QVERIFY(!body.contains("wexoId"));
            QCOMPARE(body.value("elementName").toString(), QString());
        }
    }

    // The badge's list slides up from the bottom over the host; Cancel slides
    // it back down, and only then does the console take its touches again.
    void stepsListSlidesUpAndBackDown()
    {
        startRecording(WexoOptionType::record);
        clickButton(console()->stepNumberBadge());
        QPointer<WexoItemListViewController> list = qobject_cast<WexoItemListViewController *>(launcher()->presentedViewController());
        QVERIFY(list);
        QWidget *area = list->view()->parentWidget();
        QCOMPARE(list->view()->y(), area->height());
        QVERIFY(launcher()->isTransitioning());
        QTRY_VERIFY(list->view()->y() > 0 && list->view()->y() < area->height());
        QTRY_VERIFY(!launcher()->isTransitioning());
        QCOMPARE(list->view()->geometry(), area->rect());

        QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
        QCOMPARE(launcher()->presentedViewController(), list.data());
        QVERIFY(!launcher()->window()->wConsoleButton());
        QTRY_VERIFY(list->view()->y() > 0);
        QVERIFY(list->view()->isVisible());
        QTRY_VERIFY(!launcher()->presentedViewController());
        QCOMPARE(launcher()->window()->wConsoleButton(), console());
        QTRY_VERIFY(list.isNull());
    }

    void recordBarOperations_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<std::optional<WexoOptionType>>("type");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("inspectorOn");

        QTest::addRow("pause") << "pause" << std::optional(WexoOptionType::pauseRecord) << true << true << false;
        QTest::addRow("pause, play") << "pause play" << std::optional(WexoOptionType::record) << true << false << true;
        QTest::addRow("stop") << "stop" << std::optional<WexoOptionType>() << false << false << false;
        QTest::addRow("pause, stop") << "pause stop" << std::optional<WexoOptionType>() << false << false << false;
    }
    void recordBarOperations()
    {
        QFETCH(QString, button);
        QFETCH(std::optional<WexoOptionType>, type);
        QFETCH(bool, recording);
        QFETCH(bool, paused);
        QFETCH(bool, inspectorOn);

        startRecording(WexoOptionType::record);
        for (const QString &name : button.split(u' ')) {
            QPushButton *pushed = name == QLatin1String("pause") ? console()->pauseBtn()
                : name == QLatin1String("play")                  ? console()->playBtn()
                                                                 : console()->stopBtn();
            clickButton(pushed);
        }
        const WexolinManager &manager = WexolinManager::shared();
        QCOMPARE(manager.currentWexoType(), type);
        QCOMPARE(manager.isRecording, recording);
        QCOMPARE(manager.isPaused, paused);
        QCOMPARE(WexolinManager::inspector().on, inspectorOn);
        if (!button.endsWith(QLatin1String("stop")))
            return;
        // Stopping reloads the feed and rests the console; the next recording
        // starts with a fresh bar.
        QCOMPARE(console()->currentMode(), WexoButtonController::consoleMode());
        QTRY_VERIFY(!m_backend->backend().requests(QStringLiteral("/mobileApi/walkthrough/findbysite")).isEmpty());
        startRecording(WexoOptionType::record);
        QVERIFY(!console()->pauseBtn()->isHidden() && !console()->stopBtn()->isHidden() && !console()->targetModeBtn()->isHidden());
        QVERIFY(console()->playBtn()->isHidden() && console()->cancelTargetModeBtn()->isHidden()
                && console()->selectTargetViewBtn()->isHidden());
    }

    // Aiming with the crosshair: where the select button sends the step.
    void crossHairTargets_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<WIndexPath>("cell"); // aimed at when the widget is an item view
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("elementName");
        QTest::addColumn<QPoint>("at"); // aimed at on no row; a negative y counts from the bottom

        const QString delegate = QStringLiteral("QStyledItemDelegate");
        QTest::addRow("plain widget") << "openDetailButton" << WIndexPath{} << "openDetailButton" << "RecPage" << "QPushButton" << QPoint();
        QTest::addRow("tab") << "tabBar" << WIndexPath{} << "tab_settings" << "QTabWidget" << "UITabBarButton" << QPoint();
        QTest::addRow("list row") << "productList" << WIndexPath{0, 2} << delegate + "_indexpath_[0, 2]" << "RecPage" << delegate << QPoint();
        QTest::addRow("table row") << "orderTable" << WIndexPath{0, 1} << delegate + "_indexpath_[0, 1]" << "RecPage" << delegate << QPoint();
        QTest::addRow("tree row") << "settingsTree" << WIndexPath{1, 0} << delegate + "_indexpath_[1, 0]" << "RecPage" << delegate << QPoint();
        // On no row: the list itself, by its name.
        QTest::addRow("table header") << "orderTable" << WIndexPath{} << "orderTable" << "RecPage" << "QTableView" << QPoint(60, 5);
        QTest::addRow("list's scroll bar over a hidden row") << "productList" << WIndexPath{} << "productList" << "RecPage" << "QListView" << QPoint(60, -5);
        QTest::addRow("tree section row") << "settingsTree" << WIndexPath{-1, 1} << "settingsTree" << "RecPage" << "QTreeView" << QPoint();
    }
    void crossHairTargets()
    {
        QFETCH(QString, widget);
        QFETCH(WIndexPath, cell);
        QFETCH(QString, identity);
        QFETCH(QString, page);
        QFETCH(QString, elementName);
        QFETCH(QPoint, at);

        startRecording(WexoOptionType::record);
        clickButton(console()->targetModeBtn());
        QCOMPARE(console()->currentMode(), WConsoleMode::sniping);
        QWidget *target = widget == QLatin1String("tabBar") ? static_cast<QWidget *>(m_tabs->tabBar()) : named(widget);
        QPoint offset(10, 10);
        if (widget == QLatin1String("tabBar"))
            offset = m_tabs->tabBar()->tabRect(1).center();
        auto *items = qobject_cast<QAbstractItemView *>(target);
        const QModelIndex row = !items ? QModelIndex()
            : cell.section < 0 ? items->model()->index(cell.item, 0) : WHostQueries::cellIndex(items, cell);
        if (!at.isNull())
            offset = QPoint(at.x(), at.y() < 0 ? target->height() + at.y() : at.y());
        else if (items)
            offset = items->viewport()->mapTo(items, items->visualRect(row).center());
        aimAt(target, offset);
        // Aiming at a row or a tab outlines it, not the list or the bar around it.
        FrameView *frame = WexolinManager::inspector().frameView();
        if (identity.contains(QLatin1String("_indexpath_")))
            QCOMPARE(frame->mainRect()->height(), items->visualRect(row).height());
        if (widget == QLatin1String("tabBar")) {
            const QRect tab = m_tabs->tabBar()->tabRect(1);
            QCOMPARE(frame->mainRect(), QRectF(frame->mapFromGlobal(target->mapToGlobal(tab.topLeft())), tab.size()));
        }
        QVERIFY(!launcher()->dragging);
        QCOMPARE(sentBodies().size(), 0); // aiming alone records nothing
        clickButton(console()->selectTargetViewBtn());
        QTRY_COMPARE(sentBodies().size(), 1);
        const QJsonObject body = sentBodies().first();
        QCOMPARE(body.value("value").toString(), identity);
        QCOMPARE(body.value("className").toString(), page);
        QCOMPARE(body.value("elementName").toString(), elementName);
        QCOMPARE(console()->currentMode(), WConsoleMode::sniping);
        QCOMPARE(m_tabs->tabBar()->tabData(1).toString(), QStringLiteral("tab_settings"));
        QVERIFY(m_page->findChild<QLineEdit *>()->objectName().isEmpty());
    }

    void aRefreshKeepsTheRecordBar()
    {
        startRecording(WexoOptionType::record);
        reloadAndSettle();
        QCOMPARE(console()->currentMode(), WConsoleMode::record);
        clickButton(console()->targetModeBtn());
        reloadAndSettle();
        QCOMPARE(console()->currentMode(), WConsoleMode::sniping);
    }

    void crossHairDragging()
    {
        startRecording(WexoOptionType::record);
        clickButton(console()->targetModeBtn());
        QLabel *aim = launcher()->crossHair();
        const QPoint start = aim->geometry().center();

        // A press outside the crosshair drags nothing.
        QTest::mousePress(window(), Qt::LeftButton, {}, at(named("openDetailButton"), QPoint(5, 5)));
        QVERIFY(!launcher()->dragging);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, at(named("openDetailButton"), QPoint(5, 5)));
        QCOMPARE(aim->geometry().center(), start);

        // Dragged far beyond the window, its centre stays inside the view.
        QTest::mousePress(window(), Qt::LeftButton, {}, crossHairCentre());
        QVERIFY(launcher()->dragging);
        QTest::mouseMove(window(), crossHairCentre() + QPoint(30, 0));
        QTest::mouseMove(window(), QPoint(2000, -500));
        QVERIFY(launcher()->view()->rect().contains(aim->geometry().center()));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(2000, -500));
        QVERIFY(!launcher()->dragging);

        // A tap on the crosshair selects what is under it; leaving and coming
        // back keeps it where it was.
        aimAt(named("openDetailButton"), QPoint(20, 20));
        const QPoint aimed = aim->geometry().center();
        QTest::mouseClick(window(), Qt::LeftButton, {}, crossHairCentre());
        QTRY_COMPARE(sentBodies().size(), 1);
        clickButton(console()->cancelTargetModeBtn());
        QVERIFY(aim->isHidden() && !launcher()->window()->crossHair());
        clickButton(console()->targetModeBtn());
        QCOMPARE(aim->geometry().center(), aimed);

        // A window that shrinks never strands it outside.
        m_host->resize(aimed.x() - 40, aimed.y() - 40);
        QTRY_VERIFY(launcher()->view()->rect().contains(aim->geometry().center()));
        m_host->resize(480, 640);
    }

    // While paused nothing is recorded, and a drag then does not move the
    // target: after resuming, a select records the row aimed at before.
    void pausedSelectRecordsNothing()
    {
        startRecording(WexoOptionType::record);
        clickButton(console()->targetModeBtn());
        auto *list = qobject_cast<QListView *>(named("productList"));
        const auto rowCentre = [list](int row) { return list->viewport()->mapTo(list, list->visualRect(list->model()->index(row, 0)).center()); };
        aimAt(list, rowCentre(2));
        clickButton(console()->pauseBtn());
        aimAt(list, rowCentre(0));
        clickButton(console()->selectTargetViewBtn());
        expectPosts(0);
        clickButton(console()->playBtn());
        clickButton(console()->selectTargetViewBtn());
        expectPosts(1);
        QCOMPARE(sentBodies().first().value("value").toString(), QStringLiteral("QStyledItemDelegate_indexpath_[0, 2]"));
    }

    // However a recording ends, the next one shows only its own steps: its
    // count stays at 0 until the backend has taken its first step.
    void aNewRecordingCountsItsOwnSteps()
    {
        startRecording(WexoOptionType::record);
        pickAt(named("openDetailButton"));
        QTRY_COMPARE(console()->stepNumberBadge()->text(), QStringLiteral("1"));
        launcher()->endRecording();
        startRecording(WexoOptionType::record);
        QCOMPARE(console()->stepNumberBadge()->text(), QStringLiteral("0"));
        pickAt(named("openDetailButton"));
        QTRY_COMPARE(console()->stepNumberBadge()->text(), QStringLiteral("1"));
    }

    // A double click is one click; only the left button picks.
    void oneStepPerClick_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("posts");
        QTest::addRow("double click") << Qt::LeftButton << true << 1;
        QTest::addRow("right button") << Qt::RightButton << false << 0;
        QTest::addRow("middle button") << Qt::MiddleButton << false << 0;
    }
    void oneStepPerClick()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, doubleClick);
        QFETCH(int, posts);
        startRecording(WexoOptionType::record);
        const QPoint point = at(named("openDetailButton"), QPoint(5, 5)) + QPoint(1, 2);
        if (doubleClick)
            QTest::mouseDClick(window(), button, {}, point);
        else
            QTest::mouseClick(window(), button, {}, point);
        expectPosts(posts);
    }
};

QTEST_MAIN(tst_RecordingCallbacks)
#include "tst_recordingcallbacks.moc"
