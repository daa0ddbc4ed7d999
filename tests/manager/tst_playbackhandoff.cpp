#include "support/PlaybackSession.h"

#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/playback/WOverlay.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

using namespace WexoCreator;

// The sample data's first page, so the backend's walkthroughs play on it.
class ProductListPage : public QWidget
{
    Q_OBJECT
public:
    ProductListPage()
    {
        auto *search = new QLineEdit(this);
        search->setObjectName(QStringLiteral("searchField"));
        auto *list = new QListView(this);
        list->setModel(new QStringListModel(QStringList(12, QStringLiteral("product")), list));
        auto *open = new QPushButton(QStringLiteral("View product"), this);
        open->setObjectName(QStringLiteral("openDetailButton"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(search);
        layout->addWidget(list, 1);
        layout->addWidget(open);
    }
};

// Counts the presses that reach a widget itself.
struct PressCounter : QObject {
    int presses = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && watched == parent())
            ++presses;
        return false;
    }
};

class tst_PlaybackHandoff : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlaybackSession> m_session;
    ProductListPage *m_shopPage = nullptr;
    QShortcut *m_shortcut = nullptr;

    PlaybackSession &session() { return *m_session; }
    HostFixture &host() { return m_session->host(); }
    WexoButtonWindow *covering() { return session().launcher()->window(); }
    bool slotFilled() { return covering()->wConsoleButton() != nullptr; }

    // Steps that turn through a card, a marker and a mobile card.
    static std::shared_ptr<Wexo> targetsWalkthrough(const QString &id = QStringLiteral("w-shop-tour"), int steps = 3)
    {
        const char *const kinds[][2] = {{"targetButton", "screen"}, {"nameField", "pulse:top-left"}, {"ordersTable", "popover"}};
        QList<std::shared_ptr<WexoStep>> list;
        for (int order = 0; order < steps; ++order)
            list << makeStep(order, QString::fromLatin1(kinds[order % 3][0]), QString::fromLatin1(kinds[order % 3][1]));
        return makePage(list, steps, id);
    }

    // What a person's click and key do on the host: the button's clicks, the
    // field's text, the window's shortcut, presses on the main window itself.
    struct HostInput {
        bool click;
        bool key;
        bool shortcut;
        int windowPresses;
    };
    HostInput hostInput()
    {
        PressCounter counter;
        counter.setParent(&host());
        host().installEventFilter(&counter);
        const bool click = session().hostGetsClick(host().targets->button);
        session().clickAt(QPoint(host().width() / 2, host().height() - 3));
        QLineEdit *field = host().targets->field;
        field->clear();
        QTest::keyClick(field, Qt::Key_A);
        QSignalSpy shortcut(m_shortcut, &QShortcut::activated);
        QTest::keyClick(&host(), Qt::Key_K, Qt::ControlModifier);
        host().removeEventFilter(&counter);
        counter.setParent(nullptr);
        return {click, field->text() == QLatin1String("a"), shortcut.count() == 1, counter.presses};
    }

private Q_SLOTS:
    // Without any host window there is no page: nothing is shown, nothing
    // plays, no analytics record is asked for.
    void noPageOnScreen()
    {
        QStandardPaths::setTestModeEnabled(true);
        BackendFixture backend;
        WCredentials::setClientToken(backend->clientToken());
        WCredentials::setClientAppId(backend->clientAppId());
        auto launcher = WexoButtonController::initWith(nullptr);
        auto page = targetsWalkthrough();
        launcher->onPlayDownloadedWexo(page);
        QVERIFY(launcher->overlays().isEmpty());
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
        // A later request of its own arrives alone.
        auto other = targetsWalkthrough();
        WexolinManager::setCurrentPlaying(other);
        WFeedManager::getAnalyticsId(other);
        QTRY_VERIFY(other->analyticsId.has_value());
        QCOMPARE(backend->requests(QStringLiteral("/mobileApi/walkthroughAnalytics/AddNew")).size(), 1);
        QVERIFY(!page->analyticsId);
        WexolinManager::setCurrentPlaying(nullptr);
    }

    void libraryStartsOverTheHost()
    {
        m_session = std::make_unique<PlaybackSession>();
        QVERIFY(m_session->isReady());
        m_shopPage = new ProductListPage;
        host().tabs->addTab(m_shopPage, QStringLiteral("Shop"));
        m_shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+K")), &host());
        QTRY_VERIFY_WITH_TIMEOUT(WFeedManager::shared().wexoFeed().size() == 4, 10000);
        QTRY_VERIFY(slotFilled());
        const HostInput before = hostInput();
        QVERIFY(before.click && before.key && before.shortcut);
    }

    void hostCallsPlay_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addRow("playWexo") << "playWexo";
        QTest::addRow("autoPlayOn") << "autoPlayOn";
        QTest::addRow("downloadWexo with autoplay") << "downloadWexo";
    }
    void hostCallsPlay()
    {
        QFETCH(QString, call);
        host().tabs->setCurrentWidget(m_shopPage);
        if (call == QLatin1String("playWexo")) {
            WexolinManager::playWexo(WexolinManager::wexosOnCurrentView().value(0));
        } else if (call == QLatin1String("autoPlayOn")) {
            // A walkthrough that goes on from another page.
            WexolinManager::setCurrentPlaying(targetsWalkthrough());
            WexolinManager::autoPlayOn(m_shopPage);
        } else {
            WexolinManager::downloadWexo(QStringLiteral("w-shop-tour"), true, {});
        }
        QTRY_VERIFY(session().shown());
        WOverlay *overlay = session().shown();
        QCOMPARE(overlay->wexo()->Page, QStringLiteral("ProductListPage"));
        QCOMPARE(overlay->currentWexoStep()->OrderNumber, 0);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), overlay->wexo());
        QVERIFY(!slotFilled());
        QTRY_VERIFY(overlay->wexo()->analyticsId.has_value());
        session().reset();
        QVERIFY(slotFilled());
    }

    void autoPlayWithoutPlayingDoesNothing()
    {
        host().tabs->setCurrentWidget(m_shopPage);
        WexolinManager::autoPlayOn(m_shopPage);
        QVERIFY(!session().shown());
        QVERIFY(slotFilled());
    }

    void hostInputWhilePlaying_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addRow("closed") << "close";
        QTest::addRow("played to the end") << "end";
    }
    void hostInputWhilePlaying()
    {
        QFETCH(QString, ending);
        QWidget *focus = host().focusWidget();
        // Every click on the overlay is a tap: enough steps for all of them.
        WexolinManager::playWexo(targetsWalkthrough(QStringLiteral("w-shop-tour"), 12));
        QVERIFY(session().shown());
        HostInput during = hostInput();
        QVERIFY(!during.click && !during.key && !during.shortcut);
        QCOMPARE(during.windowPresses, 0);
        // A host widget raised, or added, later still lies below the library.
        auto *raised = new QPushButton(QStringLiteral("raised"), &host());
        raised->setGeometry(host().rect());
        raised->show();
        raised->raise();
        QVERIFY(!session().hostGetsClick(raised));
        delete raised;

        if (ending == QLatin1String("close")) {
            session().shown()->discardAll();
        } else {
            for (int tap = 0; tap < 12 && session().shown(); ++tap)
                session().tapAside();
        }
        QVERIFY(!session().shown());
        QVERIFY(slotFilled());
        // The host's focus is where it was.
        QCOMPARE(host().focusWidget(), focus);
        const HostInput after = hostInput();
        QVERIFY(after.click && after.key && after.shortcut);
    }

    void downloadEndKeepsTheSlotEmpty()
    {
        WexolinManager::playWexo(targetsWalkthrough());
        int downloads = 0;
        QObject context;
        WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                         [&downloads](const QVariantMap &) { ++downloads; });
        WFeedManager::reloadFeed();
        QTRY_COMPARE(downloads, 1);
        QCoreApplication::processEvents(); // the launcher's queued handler
        QVERIFY(session().shown());
        QVERIFY(!slotFilled());
        QVERIFY(!session().hostGetsClick(host().targets->button));
    }

    void stackedWalkthroughs()
    {
        WexolinManager::playWexo(targetsWalkthrough(QStringLiteral("w-a")));
        WexolinManager::playWexo(targetsWalkthrough(QStringLiteral("w-b")));
        const QList<WOverlay *> both = session().overlays();
        QCOMPARE(both.size(), 2);
        both.last()->discardAll();
        QCOMPARE(session().shown(), both.first());
        QVERIFY(!slotFilled());
        both.first()->discardAll();
        QVERIFY(slotFilled());
    }

    void emptyPageShowsNothing_data()
    {
        QTest::addColumn<bool>("withList");
        QTest::addRow("no step list") << false;
        QTest::addRow("empty step list") << true;
    }
    void emptyPageShowsNothing()
    {
        QFETCH(bool, withList);
        auto page = makePage({}, 0);
        if (!withList)
            page->values.reset();
        WexolinManager::playWexo(page);
        QVERIFY(!session().shown());
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
        QVERIFY(slotFilled());
    }

    void playedFlags_data()
    {
        QTest::addColumn<std::optional<QString>>("wexoId");
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("played");
        QTest::addRow("saved") << std::optional<QString>(QStringLiteral("w-flag")) << true << true;
        QTest::addRow("never saved") << std::optional<QString>(QStringLiteral("w-never")) << false << false;
        QTest::addRow("no walkthrough identifier") << std::optional<QString>() << true << false;
        QTest::addRow("a credential key's name") << std::optional<QString>(WexolinManager::wClientTokenKey) << true << true;
    }
    void playedFlags()
    {
        QFETCH(std::optional<QString>, wexoId);
        QFETCH(bool, save);
        QFETCH(bool, played);
        const std::optional<QString> token = WexolinManager::shared().wClientToken();
        WexoStep step;
        step.wexoId = wexoId;
        if (save)
            WexoButtonController::saveAutoPlayedWexo(step);
        QCOMPARE(WexoButtonController::isStepPlayed(step), played);
        QCOMPARE(WexolinManager::shared().wClientToken(), token);
    }

    void dialogPage()
    {
        DialogPage *dialog = host().openDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto page = makePage({makeStep(0, QStringLiteral("dialogButton"), QStringLiteral("screen")),
                              makeStep(1, QStringLiteral("dialogButton"), QStringLiteral("pulse:top-left")),
                              makeStep(2, QStringLiteral("dialogButton"), QStringLiteral("screen"))}, 3);
        WexolinManager::playWexo(page);
        WOverlay *overlay = session().shown();
        QVERIFY(overlay);
        QCOMPARE(overlay->window(), dialog);
        QCOMPARE(overlay->geometry(), dialog->rect());
        QCOMPARE(overlay->targets(), QList<QRectF>{QRectF(dialog->button->geometry())});
        QSignalSpy clicked(dialog->button, &QPushButton::clicked);
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, dialog->button->geometry().center());
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(session().shown()->currentWexoStep()->OrderNumber, 1); // the click was a tap
        QTest::keyClick(dialog->button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(session().shown()->currentWexoStep()->OrderNumber, 2); // so was the key
        // The dialog closing ends the playback as a close does.
        dialog->reject();
        QVERIFY(!session().shown());
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
        QVERIFY(slotFilled());
        host().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host()));
    }

    // Many playbacks leave the library as they found it.
    void soak()
    {
        WexoButtonWindow *window = covering();
        QWidget *focus = host().focusWidget();
        const int widgets = window->findChildren<QWidget *>().size();
        const QRegion mask = window->mask();
        for (int run = 0; run < 200; ++run) {
            WexolinManager::playWexo(targetsWalkthrough());
            for (int tap = 0; tap < 3; ++tap)
                session().tapAside();
            QVERIFY(!session().shown());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->findChildren<QWidget *>().size(), widgets);
        QCOMPARE(window->mask(), mask);
        QCOMPARE(host().focusWidget(), focus);
        const HostInput after = hostInput();
        QVERIFY(after.click && after.key && after.shortcut);
    }

    void cleanup()
    {
        if (m_session)
            m_session->reset();
    }
    void cleanupTestCase() { m_session.reset(); }
};

QTEST_MAIN(tst_PlaybackHandoff)
#include "tst_playbackhandoff.moc"
