#include "support/BackendFixture.h"
#include "support/DesktopFixture.h"

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QVBoxLayout>

using namespace WexoCreator;

// The host page the sample walkthroughs "Tour of the shop" and "Checking out" are made for.
class ProductListPage : public QWidget
{
    Q_OBJECT

public:
    ProductListPage()
    {
        auto *layout = new QVBoxLayout(this);
        field->setObjectName(QStringLiteral("searchField"));
        layout->addWidget(field);
        layout->addWidget(button);
        layout->addStretch();
    }
    QLineEdit *field = new QLineEdit;
    QPushButton *button = new QPushButton(QStringLiteral("host"));
};

// The menu of a library started as a host starts it, against the sample
// backend; one launcher per process, so one process for these cases.
class tst_WexoOptionsViewController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    ProductListPage *m_page = nullptr;
    UrlSink m_sink;
    std::unique_ptr<MailDefault> m_mailProgram;
    QList<WexoOption> m_handed;
    bool m_handedWhileUp = false;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }
    WexoOptionsViewController *menu() { return qobject_cast<WexoOptionsViewController *>(launcher()->presentedViewController()); }
    QWindow *handle() { return m_host->windowHandle(); }
    qreal height() { return launcher()->view()->height(); }

    bool hostGetsClick()
    {
        QSignalSpy clicked(m_page->button, &QPushButton::clicked);
        QTest::mouseClick(handle(), Qt::LeftButton, {}, m_page->button->mapTo(m_host.get(), QPoint(5, 5)));
        return clicked.count() == 1;
    }

    void setState(bool admin, bool recording, bool paused)
    {
        WCredentials::setAdminToken(admin ? std::optional<QString>(QStringLiteral("test-admin")) : std::nullopt);
        WexolinManager::shared().isRecording = recording;
        WexolinManager::shared().isPaused = paused;
        if (recording && !paused)
            WexolinManager::enableIntrospect();
    }

    // Opens the menu ("showGuideMenu", a "click", a "double click" or "two
    // clicks" on the console), lets the window grow to `growTo` while the
    // card slides in, and waits for the card to rest; the hand-over is recorded.
    bool openMenu(const QString &how = QStringLiteral("showGuideMenu"), int growTo = 0)
    {
        if (how == QLatin1String("showGuideMenu")) {
            WexolinManager::showGuideMenu();
        } else {
            WPlayConsole *console = launcher()->wConsoleMenu();
            const QPoint at = console->mapTo(m_host.get(), console->rect().center());
            if (how == QLatin1String("double click"))
                QTest::mouseDClick(handle(), Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(handle(), Qt::LeftButton, {}, at);
            // QTest spaces its clicks beyond the double-click interval: the
            // second lands on the dimmer as a click of its own.
            if (how == QLatin1String("two clicks"))
                QTest::mouseClick(handle(), Qt::LeftButton, {}, at);
        }
        if (!menu())
            return false;
        if (growTo)
            m_host->resize(m_host->width(), growTo);
        const auto rest = [this] { return WexolinManager::isAdmin() ? WexoOptionsViewController::kExpandedTop : height() / 2; };
        if (!QTest::qWaitFor([&] { return menu() && !menu()->isCardMoving() && menu()->cardTop() == rest(); }))
            return false;
        auto original = menu()->dismisser;
        menu()->dismisser = [this, original](const WexoOption &option) {
            m_handed << option;
            m_handedWhileUp = launcher()->presentedViewController() != nullptr;
            if (original)
                original(option);
        };
        return true;
    }

    QPoint rowCentre(const QString &name)
    {
        const QList<WexoSection> &sections = menu()->wexoSection();
        for (int s = 0; s < sections.size(); ++s) {
            const QList<WexoOption> rows = sections.at(s).sectionOptions.value_or(QList<WexoOption>());
            for (int r = 0; r < rows.size(); ++r) {
                if (rows.at(r).displayName == name)
                    return listCentre(*menu()->listRow(s, r));
            }
        }
        return {};
    }

    QPoint listCentre(int listRow)
    {
        QListView *list = menu()->tableView();
        const QModelIndex index = list->model()->index(listRow, 0);
        list->scrollTo(index);
        return list->viewport()->mapTo(m_host.get(), list->visualRect(index).center());
    }

    void typeText(const char *text)
    {
        for (; *text; ++text)
            QTest::keyClick(handle(), *text);
    }

    void click(const QPoint &point) { QTest::mouseClick(handle(), Qt::LeftButton, {}, point); }

    void clickDimmer() { click(QPoint(m_host->width() - 5, 5)); }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        m_host = std::make_unique<QMainWindow>();
        m_page = new ProductListPage;
        m_host->setCentralWidget(m_page);
        m_host->resize(400, 800);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
        QTRY_VERIFY_WITH_TIMEOUT(WexolinManager::shared().theme() && WFeedManager::shared().wexoFeed().size() == 4, 10000);
        QTRY_VERIFY(launcher()->window()->wConsoleButton());
        // Pages go to the system browser here, as in a host that loads the
        // library as a plugin; the in-app page has a test program of its own.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, false);
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_sink, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_sink, "open");
        m_mailProgram = std::make_unique<MailDefault>(true);
    }

    void init()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &m_sink, "open");
        m_sink.urls.clear();
        m_handed.clear();
        m_handedWhileUp = true;
    }

    void cleanup()
    {
        if (menu())
            menu()->dismiss(false);
        m_host->resize(400, 800);
        if (!launcher()->overlays().isEmpty())
            launcher()->overlays().constLast()->discardAll();
        launcher()->endRecording();
        WexolinManager::logoutAdmin();
        // A played row leaves its overlay up until it is closed.
        for (WOverlay *overlay : launcher()->overlays())
            overlay->discardAll();
        WexolinManager::setCurrentPlaying(nullptr);
        QTRY_VERIFY(launcher()->window()->wConsoleButton());
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        m_mailProgram.reset();
    }

    void opening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<int>("growTo");
        QTest::addRow("console, guest") << "click" << false << 0;
        QTest::addRow("console, administrator") << "click" << true << 0;
        QTest::addRow("double click on the console opens it once") << "double click" << false << 0;
        QTest::addRow("a second click during the slide-in is no dimmer tap") << "two clicks" << false << 0;
        QTest::addRow("showGuideMenu, guest") << "showGuideMenu" << false << 0;
        QTest::addRow("showGuideMenu, administrator") << "showGuideMenu" << true << 0;
        QTest::addRow("window grows while the card slides in") << "showGuideMenu" << false << 1000;
    }

    void opening()
    {
        QFETCH(QString, how);
        QFETCH(bool, admin);
        QFETCH(int, growTo);
        setState(admin, false, false);
        m_page->field->setFocus();
        QVERIFY(openMenu(how, growTo));
        QCOMPARE(menu()->currentCardState(), admin ? WexoOptionsViewController::CardViewState::expanded
                                                   : WexoOptionsViewController::CardViewState::normal);
        QCOMPARE(menu()->dimAlpha(), admin ? 0.7 : 0.4);
        // A second request keeps the one menu.
        WexoOptionsViewController *first = menu();
        WexolinManager::showGuideMenu();
        QCOMPARE(menu(), first);
        QCOMPARE(launcher()->findChildren<WexoOptionsViewController *>().size(), 1);
        // The host gets neither clicks nor keys while the menu is up.
        QVERIFY(!hostGetsClick());
        typeText("abc");
        QTest::keyClick(handle(), Qt::Key_Tab);
        typeText("d");
        QCOMPARE(m_page->field->text(), QString());
        clickDimmer();
        QTRY_VERIFY(!menu());
        QVERIFY(m_handed.isEmpty());
        QVERIFY(hostGetsClick());
    }

    void drags_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("loseGrab");
        QTest::addColumn<QString>("outcome");
        QTest::addRow("fling down closes") << 40 << 10 << false << "closed";
        QTest::addRow("slow drag near the top expands") << -60 << 200 << false << "expanded";
        QTest::addRow("lost grab stays where it was dragged") << 40 << 200 << true << "stays";
    }

    void drags()
    {
        QFETCH(int, step);
        QFETCH(int, delayMs);
        QFETCH(bool, loseGrab);
        QFETCH(QString, outcome);
        setState(false, false, false);
        QVERIFY(openMenu());
        const qreal start = menu()->cardTop();
        QPoint at(m_host->width() / 2, int(start) - 13); // the grab handle
        QTest::mousePress(handle(), Qt::LeftButton, {}, at);
        for (int i = 0; i < 5; ++i) {
            at.ry() += step;
            QTest::mouseMove(handle(), at, delayMs);
        }
        if (loseGrab) {
            QEvent ungrab(QEvent::UngrabMouse);
            QCoreApplication::sendEvent(menu()->view(), &ungrab);
        }
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, at, 1);
        if (outcome == QLatin1String("closed")) {
            QTRY_VERIFY(!menu());
        } else if (outcome == QLatin1String("expanded")) {
            QTRY_COMPARE(menu()->cardTop(), WexoOptionsViewController::kExpandedTop);
        } else {
            QVERIFY(!menu()->isCardMoving());
            QCOMPARE(menu()->cardTop(), start + 5 * step);
        }
        QVERIFY(m_handed.isEmpty());
    }

    // Who follows a drag of five equal moves: the card, the list or both, by
    // the card's state, the list's offset and where the drag starts.
    void dragsShareTheCardAndTheList_data()
    {
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("from"); // "list" or "handle"
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("cardMoves");
        QTest::addColumn<int>("offsetAfter");
        QTest::addRow("normal: a drag on the list moves the card") << false << 0 << "list" << -10 << -50 << 0;
        QTest::addRow("expanded at the top: down moves the card") << true << 0 << "list" << 10 << 50 << 0;
        QTest::addRow("expanded at the top: up scrolls the list") << true << 0 << "list" << -10 << 0 << 50;
        QTest::addRow("expanded, scrolled: down scrolls back") << true << 80 << "list" << 10 << 0 << 30;
        QTest::addRow("expanded, scrolled: up scrolls on") << true << 30 << "list" << -10 << 0 << 80;
        QTest::addRow("expanded, scrolled: past the top the card stays") << true << 20 << "list" << 10 << 0 << 0;
        QTest::addRow("expanded, scrolled: the handle moves the card") << true << 80 << "handle" << 10 << 50 << 80;
    }

    void dragsShareTheCardAndTheList()
    {
        QFETCH(bool, expanded);
        QFETCH(int, offset);
        QFETCH(QString, from);
        QFETCH(int, step);
        QFETCH(int, cardMoves);
        QFETCH(int, offsetAfter);
        m_host->resize(400, 500);
        setState(expanded, false, false);
        QVERIFY(openMenu());
        QListView *list = menu()->tableView();
        QVERIFY(list->verticalScrollBar()->maximum() >= 100);
        list->verticalScrollBar()->setValue(offset);
        const qreal start = menu()->cardTop();
        QPoint at = from == QLatin1String("handle") ? QPoint(m_host->width() / 2, int(start) - 13)
                                                     : list->viewport()->mapTo(m_host.get(), list->viewport()->rect().center());
        QTest::mousePress(handle(), Qt::LeftButton, {}, at);
        for (int i = 0; i < 5; ++i) {
            at.ry() += step;
            QTest::mouseMove(handle(), at, 60);
        }
        QCOMPARE(menu()->cardTop(), start + cardMoves);
        QCOMPARE(list->verticalScrollBar()->value(), offsetAfter);
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, at, 60);
        // A drag is never a click on the row it ends on.
        QVERIFY(m_handed.isEmpty());
        if (!cardMoves) {
            QVERIFY(menu() && !menu()->isClosing());
            QCOMPARE(menu()->cardTop(), start);
        }
    }

    // The footer's button is its upper 75 pixels; below it only the label.
    void footerButtonCoversTheUpperPart_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("hands");
        QTest::addRow("top") << 2 << true;
        QTest::addRow("last pixel of the button") << 74 << true;
        QTest::addRow("first pixel below it") << 75 << false;
        QTest::addRow("bottom") << 98 << false;
    }

    void footerButtonCoversTheUpperPart()
    {
        QFETCH(int, y);
        QFETCH(bool, hands);
        setState(true, false, false);
        QVERIFY(openMenu());
        QListView *list = menu()->tableView();
        const QModelIndex footer = list->model()->index(list->model()->rowCount() - 1, 0);
        list->scrollTo(footer);
        const QRect rect = list->visualRect(footer);
        QCOMPARE(rect.height(), 100);
        click(list->viewport()->mapTo(m_host.get(), QPoint(rect.center().x(), rect.top() + y)));
        QCOMPARE(menu() && menu()->isClosing(), hands);
        if (hands) {
            QTRY_COMPARE(m_handed.size(), 1);
            QCOMPARE(m_handed.constFirst().type, WexoOptionType::poweredBy);
        }
    }

    // onCancel slides the whole menu down as it stands: the card keeps its
    // place and nothing is handed over, not even a row clicked on the way out.
    void cancelLeavesWithoutHandingOver()
    {
        setState(false, false, false);
        QVERIFY(openMenu());
        QPointer<WexoOptionsViewController> open = menu();
        const qreal top = open->cardTop();
        open->onCancel();
        QCOMPARE(launcher()->presentedViewController(), open.data());
        QVERIFY(open->isClosing());
        click(rowCentre(QStringLiteral("Refresh")));
        QTRY_VERIFY(open->view()->y() > 0);
        QCOMPARE(open->cardTop(), top);
        QTRY_VERIFY(!launcher()->presentedViewController());
        QVERIFY(m_handed.isEmpty());
        QTRY_VERIFY(launcher()->window()->wConsoleButton());
    }

    // A sheet without a height keeps its first top, the expanded one: the
    // keyboard coming up then moves nothing. A height that comes only after
    // the card was shown does not put the card at the hidden place under the
    // dimmer.
    void sheetWithoutHeight()
    {
        setState(false, false, false);
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        QWidget sheetArea(m_page);
        sheetArea.setGeometry(0, 0, m_page->width(), 0);
        sheetArea.show();
        std::unique_ptr<WexoOptionsViewController> made(WexoOptionsViewController::createWexoOptions());
        made->embedViewIn(&sheetArea);
        QCOMPARE(made->currentCardState(), WexoOptionsViewController::CardViewState::expanded);
        made->searchField()->setFocus();
        QVERIFY(made->searchField()->hasFocus());
        QVERIFY(!made->isCardMoving());
        QCOMPARE(made->dimAlpha(), 0.0);

        made->showCard(WexoOptionsViewController::CardViewState::normal);
        QTRY_VERIFY(!made->isCardMoving());
        QCOMPARE(made->dimAlpha(), 0.4);
        sheetArea.resize(sheetArea.width(), 600);
        QCOMPARE(made->cardView()->y(), int(WexoOptionsViewController::kExpandedTop));
    }

    // Set before the menu shows, the backing image lies under the dimmer; the
    // menu keeps the menu texts of the theme it was made under.
    void backingImageAndFeed()
    {
        setState(false, false, false);
        auto *made = WexoOptionsViewController::createWexoOptions();
        QPixmap red(8, 8);
        red.fill(Qt::red);
        made->backingImage = red;
        QCOMPARE(made->cardViewState, WexoOptionsViewController::CardViewState::normal);
        const std::shared_ptr<Theme> theme = WexolinManager::shared().theme();
        QVERIFY(theme && theme->config() && theme->config()->Configurations());
        QVERIFY(made->feed);
        QCOMPARE(made->feed, theme->config()->Configurations()->mobileTexts());
        QCOMPARE(made->bundle(), WConfiguration::currentBundle());
        launcher()->present(made, false);
        QTRY_VERIFY(!made->isCardMoving() && made->cardTop() == height() / 2);
        const QColor under = made->view()->grab().toImage().pixelColor(5, 5);
        // Red under black at the normal dimming of 0.4.
        QVERIFY2(qAbs(under.red() - 153) <= 2 && under.green() == 0 && under.blue() == 0, qPrintable(under.name()));
    }

    void wheelScrollsTheListOnlyExpanded_data()
    {
        QTest::addColumn<bool>("admin");
        QTest::addRow("normal stands still") << false;
        QTest::addRow("expanded scrolls") << true;
    }

    void wheelScrollsTheListOnlyExpanded()
    {
        QFETCH(bool, admin);
        setState(admin, false, false);
        QVERIFY(openMenu());
        QListView *list = menu()->tableView();
        QVERIFY(list->verticalScrollBar()->maximum() > 0);
        const QPointF at(list->viewport()->rect().center());
        QWheelEvent wheel(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list->viewport(), &wheel);
        QCOMPARE(list->verticalScrollBar()->value() > 0, admin);
    }

    void searchResultIsHandedOverAndPlays()
    {
        setState(false, false, false);
        QVERIFY(openMenu());
        m_backend->backend().clearRequests();
        click(menu()->searchField()->mapTo(m_host.get(), QPoint(20, 10)));
        QTRY_COMPARE(menu()->cardTop(), WexoOptionsViewController::kExpandedTop);
        typeText("TOUR");
        // A visit to another window is no end of editing: the results stay.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        QCOMPARE(menu()->searchField()->text(), QStringLiteral("TOUR"));
        QCOMPARE(menu()->wexoSection().size(), 1);
        QCOMPARE(menu()->wexoSection().constFirst().sectionOptions->size(), 1);
        QVERIFY(menu()->isFiltering());
        click(rowCentre(QStringLiteral("Tour of the shop")));
        QTRY_COMPARE(m_handed.size(), 1);
        QVERIFY(!m_handedWhileUp);
        QCOMPARE(m_handed.constFirst().type, WexoOptionType::play);
        const std::shared_ptr<Wexo> played = WexolinManager::shared().currentPlayingWexo();
        QVERIFY(played);
        QCOMPARE(played, m_handed.constFirst().wexo);
        QCOMPARE(played->wexoName, QStringLiteral("Tour of the shop"));
        // The overlay shows the row's first step; one analytics record is opened.
        QTRY_COMPARE(launcher()->overlays().size(), 1);
        QCOMPARE(launcher()->overlays().constFirst()->currentWexoStep(), m_handed.constFirst().wexoSteps->constFirst());
        QTRY_COMPARE(m_backend->backend().requests(QStringLiteral("/mobileApi/walkthroughAnalytics/AddNew")).size(), 1);
        launcher()->overlays().constFirst()->discardAll();
        QTRY_VERIFY(launcher()->overlays().isEmpty());
    }

    void rows_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("state"); // admin, recording, paused as "arp" letters
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("handed");
        QTest::addColumn<QString>("typeAfter");
        QTest::addColumn<QString>("stateAfter");
        QTest::addColumn<bool>("inspectorOn");
        QTest::addColumn<QString>("url");
        QTest::addRow("walkthrough") << "Checking out" << "" << false << "play" << "" << "" << false << "";
        QTest::addRow("refresh") << "Refresh" << "" << false << "refresh" << "" << "" << false << "";
        QTest::addRow("about") << "About Sample Shop" << "" << false << "about" << "" << "" << false << m_backend->rootUrl() + "pages/about.html";
        QTest::addRow("privacy") << "Privacy" << "" << false << "privacy" << "" << "" << false << "https://sampleshop.example/privacy";
        QTest::addRow("support") << "Contact support" << "" << false << "support" << "" << "" << false << "mailto:support@sampleshop.example";
        QTest::addRow("stop") << "Stop Recording" << "ar" << true << "" << "" << "a" << false << "";
        QTest::addRow("pause") << "Pause Recording" << "ar" << false << "pauseRecord" << "pauseRecord" << "arp" << false << "";
        QTest::addRow("resume") << "Resume Recording" << "arp" << false << "resumeRecord" << "record" << "ar" << true << "";
        QTest::addRow("exit while recording") << "Exit admin mode" << "ar" << true << "" << "" << "" << false << "";
        QTest::addRow("exit") << "Exit admin mode" << "a" << true << "" << "" << "" << false << "";
        QTest::addRow("screen") << "screen" << "" << false << "screen" << "screen" << "" << true << "";
        QTest::addRow("element") << "element" << "" << false << "element" << "element" << "" << true << "";
        QTest::addRow("none") << "none" << "" << false << "none" << "" << "" << false << "";
        QTest::addRow("powered by") << "footer" << "" << false << "poweredBy" << "" << "" << false << "https://wexolin.example/";
    }

    void rows()
    {
        QFETCH(QString, row);
        QFETCH(QString, state);
        QFETCH(bool, stays);
        QFETCH(QString, handed);
        QFETCH(QString, typeAfter);
        QFETCH(QString, stateAfter);
        QFETCH(bool, inspectorOn);
        QFETCH(QString, url);
        setState(state.contains(u'a'), state.contains(u'r'), state.contains(u'p'));
        WexolinManager::setCurrentWexoType(std::nullopt);
        QVERIFY(openMenu());
        const WConsoleMode modeBefore = launcher()->wConsoleMenu()->currentMode();
        // Rows of kinds no section builds come in as walkthroughs.
        if (const auto injected = wexoOptionTypeFromRawValue(row)) {
            menu()->availableWexos.append(WexoMenuSections::fixedRow(row, QString(), *injected));
            menu()->resetOptions(false);
        }
        click(row == QLatin1String("footer") ? listCentre(menu()->tableView()->model()->rowCount() - 1) : rowCentre(row));
        if (stays) {
            QTRY_COMPARE(menu()->cardTop(), height() / 2);
            QVERIFY(!menu()->isClosing());
        } else {
            QTRY_VERIFY(!menu());
            QTRY_COMPARE(m_handed.size(), 1);
            QVERIFY(!m_handedWhileUp);
            QCOMPARE(rawValue(*m_handed.constFirst().type), handed);
        }
        WexolinManager &manager = WexolinManager::shared();
        const std::optional<WexoOptionType> type = manager.currentWexoType();
        QCOMPARE(type ? rawValue(*type) : QString(), typeAfter);
        QCOMPARE(WexolinManager::isAdmin(), stateAfter.contains(u'a'));
        QCOMPARE(manager.isRecording, stateAfter.contains(u'r'));
        QCOMPARE(manager.isPaused, stateAfter.contains(u'p'));
        QCOMPARE(WexolinManager::inspector().on, inspectorOn);
        // The mail program is asked for first, so the address comes a moment later.
        QTRY_COMPARE(m_sink.urls, url.isEmpty() ? QStringList() : QStringList{url});
        if (stays) {
            QVERIFY(m_handed.isEmpty());
            // The admin section is rebuilt from the new state.
            const bool admin = WexolinManager::isAdmin();
            QCOMPARE(menu()->wexoSection().constFirst().sectionName == QStringLiteral("Admin"), admin);
            if (admin)
                QCOMPARE(menu()->wexoSection().constFirst().sectionOptions->constFirst().displayName, QStringLiteral("Record Wexo"));
        }
        // Only recording puts the console into its record face; ending it brings the resting face back.
        const WConsoleMode mode = launcher()->wConsoleMenu()->currentMode();
        if (handed == QLatin1String("resumeRecord"))
            QCOMPARE(mode, WConsoleMode::record);
        else if (row == QLatin1String("Stop Recording"))
            QCOMPARE(mode, WexoButtonController::consoleMode());
        else
            QCOMPARE(mode, modeBefore);
    }

    void recordRow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("handed");
        QTest::addRow("Ok with a name") << "Checkout tour" << "Ok" << true;
        QTest::addRow("one blank is a name") << " " << "Ok" << true;
        QTest::addRow("Ok without a name acts as Cancel") << "" << "Ok" << false;
        QTest::addRow("Cancel") << "Checkout tour" << "Cancel" << false;
    }

    void recordRow()
    {
        QFETCH(QString, name);
        QFETCH(QString, button);
        QFETCH(bool, handed);
        setState(true, false, false);
        WexolinManager::setCurrentWexoType(std::nullopt);
        WexolinManager::setWexo(std::nullopt);
        QVERIFY(openMenu());
        click(rowCentre(QStringLiteral("Record Wexo")));
        QTRY_VERIFY(menu()->namingAlert() && menu()->namingAlert()->isVisible());
        WAlert *alert = menu()->namingAlert();
        QCOMPARE(alert->textFields().constFirst()->placeholderText(), QStringLiteral("name goes here"));
        alert->textFields().constFirst()->setText(name);
        QTest::mouseClick(alert->actionButton(button), Qt::LeftButton);
        WexolinManager &manager = WexolinManager::shared();
        if (handed) {
            QTRY_COMPARE(m_handed.size(), 1);
            QCOMPARE(m_handed.constFirst().type, WexoOptionType::record);
            QCOMPARE(manager.currentWexoType(), WexoOptionType::record);
            QCOMPARE(manager.currentWexoName(), name);
            // The launcher starts recording: the record bar and the inspector.
            QVERIFY(manager.isRecording);
            QVERIFY(WexolinManager::inspector().on);
            QCOMPARE(launcher()->wConsoleMenu()->currentMode(), WConsoleMode::record);
        } else {
            QTRY_VERIFY(!menu()->namingAlert());
            QVERIFY(menu() && !menu()->isClosing());
            QCOMPARE(menu()->cardTop(), WexoOptionsViewController::kExpandedTop);
            QVERIFY(!manager.currentWexoType());
            QVERIFY(!manager.currentWexoName());
            QVERIFY(!manager.isRecording);
        }
    }

    void closingIgnoresFurtherInput()
    {
        setState(false, false, false);
        QVERIFY(openMenu());
        const QPoint about = rowCentre(QStringLiteral("About Sample Shop"));
        click(rowCentre(QStringLiteral("Refresh")));
        QVERIFY(menu()->isClosing());
        click(about);
        clickDimmer();
        menu()->onPoweredBy();
        QTRY_VERIFY(!menu());
        QTRY_COMPARE(m_handed.size(), 1);
        QCOMPARE(m_handed.constFirst().type, WexoOptionType::refresh);
        QVERIFY(m_sink.urls.isEmpty());
    }

    void downloadCompleteRebuildsOpenMenuOnly()
    {
        setState(false, false, false);
        QVERIFY(openMenu());
        menu()->availableWexos.clear();
        menu()->resetOptions(false);
        QCOMPARE(menu()->wexoSection().size(), 1);
        const qreal top = menu()->cardTop();
        WNotificationCenter::defaultCenter().post(WFeedManager::WexoDownloadCompleteNotification);
        QTRY_COMPARE(menu()->wexoSection().size(), 2);
        QCOMPARE(menu()->availableWexos.size(), 2);
        QCOMPARE(menu()->cardTop(), top);
        QVERIFY(!menu()->isCardMoving());
        // Closing then a notification: the menu is gone and nothing is rebuilt.
        QPointer<WexoOptionsViewController> closed = menu();
        clickDimmer();
        WNotificationCenter::defaultCenter().post(WFeedManager::WexoDownloadCompleteNotification);
        QTRY_VERIFY(!closed);
        QVERIFY(m_handed.isEmpty());
    }

    void pageWithoutBrowserShowsTheAddress()
    {
        // Offscreen, with no handler, nothing can open the page: a notice names it.
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        launcher()->presentWebView(QUrl(QStringLiteral("http://127.0.0.1:9/about")));
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_sink, "open");
        const auto notices = [this] { return launcher()->view()->findChildren<WAlert *>(QStringLiteral("noBrowserAlert")); };
        QTRY_COMPARE(notices().size(), 1);
        QCOMPARE(notices().constFirst()->findChild<QLabel *>(QStringLiteral("alertMessage"))->text(), QStringLiteral("http://127.0.0.1:9/about"));
        QVERIFY(!launcher()->window()->wConsoleButton());
        QTest::mouseClick(notices().constFirst()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QVERIFY(!launcher()->isPresenting());
        QVERIFY(hostGetsClick());
    }

    void supportWithoutMailShowsOneNotice()
    {
        const MailDefault noMailProgram(false);
        setState(false, false, false);
        QVERIFY(openMenu());
        click(rowCentre(QStringLiteral("Contact support")));
        const auto notices = [this] { return launcher()->view()->findChildren<WAlert *>(QStringLiteral("noEmailAlert")); };
        QTRY_COMPARE(notices().size(), 1);
        QVERIFY(launcher()->isPresenting());
        launcher()->presentMail();
        QTRY_VERIFY(!launcher()->isAskingMail());
        QCOMPARE(notices().size(), 1);
        QVERIFY(!launcher()->window()->wConsoleButton());
        QTest::mouseClick(notices().constFirst()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QVERIFY(!launcher()->isPresenting());
        QVERIFY(hostGetsClick());
        QCOMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
    }
};

QTEST_MAIN(tst_WexoOptionsViewController)
#include "tst_wexooptionsviewcontroller.moc"
