#ifdef WEXO_WEB_VIEW

#include "support/FaceFilm.h"
#include "support/InAppPageFixture.h"

#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QWebEngineProfile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWebEngineLoadingInfo>

#include <csignal>
#include <memory>
#include <optional>

using namespace WexoCreator;

// The in-app page's views under the face shown: a page covered by its reader
// face or a message rests as a browser's tab in the background, and a reader
// face that is only slow still takes the page's place.
class tst_InAppCover : public InAppPageFixture
{
    Q_OBJECT

    // A page that counts its animation frames and its 10-ms timer's ticks.
    static QByteArray counting(const QByteArray &body)
    {
        return QByteArray(body).replace("</body>", "<script>var frames = 0, ticks = 0;"
                                                   "(function tick() { document.documentElement.dataset.frames = ++frames; requestAnimationFrame(tick); })();"
                                                   "setInterval(() => document.documentElement.dataset.ticks = ++ticks, 10);</script></body>");
    }

    struct Running {
        int frames = 0;
        int ticks = 0;
        QString visibility;
    };

    Running running()
    {
        const QStringList seen = evaluateIn(browser()->page(), QStringLiteral("[document.documentElement.dataset.frames, "
                                                                             "document.documentElement.dataset.ticks, document.visibilityState].join(' ')"))
                                     .toString()
                                     .split(u' ');
        return {seen.value(0).toInt(), seen.value(1).toInt(), seen.value(2)};
    }

    QWidget *faces() { return browser()->webView()->parentWidget(); }

    std::unique_ptr<FaceFilm> film()
    {
        return std::make_unique<FaceFilm>(faces(), browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle")));
    }

    static pid_t rendererOf(QWebEnginePage *page) { return pid_t(page->renderProcessPid()); }

    // A page view of the in-app page's kind on its own, shown, for driving
    // its page and watch by hand.
    struct BareView {
        QWebEngineProfile profile;
        WInAppBrowserPage page {&profile};
        QWebEngineView view;

        BareView()
        {
            view.setPage(&page);
            view.resize(400, 300);
            view.show();
        }
        bool load(const QUrl &url)
        {
            QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
            page.load(url);
            return loaded.wait(20000);
        }
        // The item the engine hands its frames to, by a queued update.
        // The engine's items come without run-time type information.
        WEXO_CALLS_ENGINE_ITEMS QQuickItem *engineItem() const
        {
            auto *surface = qobject_cast<QQuickWidget *>(view.focusProxy());
            if (!surface || !surface->quickWindow())
                return nullptr;
            QQuickItem *item = surface->quickWindow()->contentItem();
            while (!item->childItems().isEmpty())
                item = item->childItems().constFirst();
            return item;
        }
        // A document shown first, as the watch tells: the view's first surface is no more.
        bool showFirst(WInAppBrowserPaintWatch &watch)
        {
            QQuickItem *item = engineItem();
            if (!item)
                return false;
            watch.watch();
            emit page.contentsSizeChanged(page.contentsSize());
            QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
            return spinUntil([&] { return watch.shown(); });
        }
    };

    // A still page in a bare view, settled (it sends no frames of its own
    // any more); one taller than the view gives no sign as the view is made
    // a pixel shorter. The engine's item, or null.
    QQuickItem *loadStill(BareView &bare, bool tall = false)
    {
        const QByteArray line = "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>";
        const QByteArray body = tall ? "<!DOCTYPE html><title>Tall</title>" + line.repeated(60) : colouredPage("Still", "#2040d0");
        if (!bare.load(QUrl(serve(tall ? QStringLiteral("tall.html") : QStringLiteral("still.html"), body))))
            return nullptr;
        spinUntil([] { return false; }, 500);
        return bare.engineItem();
    }

    void abortedEndInTheInAppPage()
    {
        WexoSample::ScriptedAnswer slow;
        slow.delayMs = 1500;
        slow.contentType = "text/html; charset=utf-8";
        slow.body = colouredPage("Stopped", "#20a040");
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/stopped.html"), slow);
        slow.body = colouredPage("Green page", "#20a040");
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/green.html"), slow);
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("blue.html"), colouredPage("Blue page", "#2040d0"))));
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page && FaceFilm::look(faces()) == 'B'; }));
        // A real aborted end: a link stopped on its way.
        std::optional<QWebEngineLoadingInfo> abortedEnd;
        const QObject context;
        connect(browser()->page(), &QWebEnginePage::loadingChanged, &context, [&](const QWebEngineLoadingInfo &info) {
            if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus && !abortedEnd)
                abortedEnd = info;
        });
        QVERIFY(clickLinkTo(page(QStringLiteral("stopped.html"))));
        QVERIFY(spinUntil([&] { return !m_backend->backend().requests(QStringLiteral("/pages/stopped.html")).isEmpty(); }));
        browser()->page()->triggerAction(QWebEnginePage::Stop);
        QVERIFY(spinUntil([&] { return abortedEnd.has_value(); }));
        // Told again while the next link is on its way, as the engine tells it
        // before going on anew.
        const std::unique_ptr<FaceFilm> filmed = film();
        QVERIFY(clickLinkTo(page(QStringLiteral("green.html"))));
        QVERIFY(spinUntil([&] { return !m_backend->backend().requests(QStringLiteral("/pages/green.html")).isEmpty(); }));
        emit browser()->page()->loadingChanged(*abortedEnd);
        QVERIFY2(spinUntil([&] { return barTip("inAppBrowserTitle") == QLatin1String("Green page") && FaceFilm::look(faces()) == 'G'; }),
                 qPrintable(filmed->runs()));
        spinUntil([] { return false; }, 300);
        QVERIFY2(QRegularExpression("^B?P+G$").match(filmed->looks()).hasMatch(), qPrintable(filmed->runs()));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(startHost());
        if (!WReaderFace::available())
            QSKIP("built without the reader library");
    }

    void cleanup() { QVERIFY(closePage()); }
    void cleanupTestCase() { stopHost(); }

    // While its reader face or a message covers it, the page gets no
    // animation frames, its timers are throttled, it is hidden to its
    // scripts and silent; uncovered, it shows its own picture at once and
    // runs again. A page whose renderer is too busy to draw at once keeps
    // its cover until it has drawn (on a busy machine, any page may be), or
    // for a moment where its renderer does not answer at all.
    void coveredPageRests_data()
    {
        QTest::addColumn<QString>("cover");
        QTest::addColumn<int>("busyMs"); // the page's script, from just before it is uncovered
        QTest::addColumn<bool>("stopped"); // its renderer, from just before it is uncovered until its face shows
        QTest::addRow("reader face") << "reader" << 0 << false;
        QTest::addRow("sign-in message of a link") << "message" << 0 << false;
        QTest::addRow("reader face, the page busy for 1 s as it is uncovered") << "reader" << 1000 << false;
        QTest::addRow("reader face, the page's renderer stopped as it is uncovered") << "reader" << 0 << true;
    }

    void coveredPageRests()
    {
        QFETCH(QString, cover);
        QFETCH(int, busyMs);
        QFETCH(bool, stopped);
        const bool reader = cover == QLatin1String("reader");
        const QByteArray body = reader ? colouredArticle("Red article", "#d02020") : colouredPage("Red page", "#d02020") + "</body>";
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("counting.html"), counting(body))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        if (!reader) {
            WexoSample::ScriptedAnswer challenge;
            challenge.status = 401;
            challenge.contentType = "text/html";
            challenge.headers = {{"WWW-Authenticate", "Basic realm=\"shop\""}};
            m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/private"), challenge);
            QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
            QVERIFY(clickLinkTo(page(QStringLiteral("private"))));
            QVERIFY(shown.wait(20000) || !shown.isEmpty());
        }
        QCOMPARE(browser()->face(), reader ? WInAppBrowser::Face::reader : WInAppBrowser::Face::message);
        // It rests once its own picture is shown (a busy machine shows it late).
        WEXO_TRY_COMPARE(running().visibility, QStringLiteral("hidden"), 5000);
        const Running covered = running();
        spinUntil([] { return false; }, 1500);
        const Running later = running();
        QCOMPARE(later.visibility, QStringLiteral("hidden"));
        // A frame or two the page asked for before it was hidden may still
        // come (a slow build); a page that runs gets some ninety.
        QVERIFY2(later.frames - covered.frames <= 3, qPrintable(QStringLiteral("%1 frames").arg(later.frames - covered.frames)));
        QVERIFY2(later.ticks - covered.ticks <= 10, qPrintable(QStringLiteral("%1 ticks").arg(later.ticks - covered.ticks)));
        QVERIFY(browser()->page()->isAudioMuted());

        // A message is not throttled as a hidden page's timers are.
        if (busyMs > 0)
            QCOMPARE(evaluateIn(browser()->page(), QStringLiteral("const channel = new MessageChannel(); channel.port1.onmessage = () => {"
                                                                  " const end = Date.now() + %1; while (Date.now() < end); };"
                                                                  " channel.port2.postMessage(0); 'busy'").arg(busyMs)),
                     QVariant(QStringLiteral("busy")));
        const pid_t renderer = rendererOf(browser()->page());
        bool held = false;
        auto resume = qScopeGuard([&] {
            if (held)
                ::kill(renderer, SIGCONT);
        });
        if (stopped) {
            if (renderer == rendererOf(browser()->readerFace()->page()))
                QSKIP("the reader face shares the page's renderer here");
            held = ::kill(renderer, SIGSTOP) == 0;
            QVERIFY(held);
        }
        const std::unique_ptr<FaceFilm> filmed = film();
        clickBar(reader ? "inAppBrowserReader" : "inAppBrowserBack");
        if (stopped) {
            // It waits a moment for the page's picture, not for good.
            QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page; }, 2000));
            held = ::kill(renderer, SIGCONT) != 0;
        }
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page && FaceFilm::look(faces()) == 'R'; }));
        spinUntil([] { return false; }, 300);
        QVERIFY2(QRegularExpression(reader ? "^r?R$" : "^W?R$").match(filmed->looks()).hasMatch(), qPrintable(filmed->runs()));
        const Running uncovered = running();
        spinUntil([] { return false; }, 500);
        const Running again = running();
        QCOMPARE(again.visibility, QStringLiteral("visible"));
        QVERIFY2(again.frames - uncovered.frames > 5, qPrintable(QStringLiteral("%1 frames").arg(again.frames - uncovered.frames)));
        QVERIFY(!browser()->page()->isAudioMuted());
    }

    // A link to another article: the reader view, resting under the face
    // before, wakes to paint the article and shows it as soon as it is
    // painted, without resting on the way.
    void readerFaceShowsOnceItsArticleIsPainted_data()
    {
        QTest::addColumn<bool>("fromPage"); // the link is followed from the article's page (Reader off)
        QTest::addRow("from a reader face") << false;
        QTest::addRow("from a page") << true;
    }

    void readerFaceShowsOnceItsArticleIsPainted()
    {
        QFETCH(bool, fromPage);
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("red.html"), colouredArticle("Red article", "#d02020"))));
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader && FaceFilm::look(faces()) == 'r'; }));
        if (fromPage) {
            clickBar("inAppBrowserReader");
            QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page && FaceFilm::look(faces()) == 'R'; }));
        }
        QWebEnginePage *reader = browser()->readerFace()->page();
        QString rests; // the reader view resting ('-') and awake ('+'), in turn
        bool shown = false;
        const QObject context;
        connect(reader, &QWebEnginePage::visibleChanged, &context, [&](bool visible) {
            if (!shown)
                rests += QLatin1Char(visible ? '+' : '-');
        });
        connect(browser(), &WInAppBrowser::faceChanged, &context, [&](WInAppBrowser::Face face) { shown = shown || face == WInAppBrowser::Face::reader; });
        QVERIFY(clickLinkTo(serve(QStringLiteral("green.html"), colouredArticle("Green article", "#20a040"))));
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader && FaceFilm::look(faces()) == 'g'; }));
        // Under the paper before its article came (a reader face shown before), then awake.
        QCOMPARE(rests, QString::fromLatin1(fromPage ? "+" : "-+"));
    }

    // Reader off while the page under the reader face has yet to paint (its
    // stylesheet comes late; on a busy machine any page may be slow): the
    // reader face stays until the page has a picture, no paper between. The
    // stylesheet comes once the test lets it, so a slow reader face does
    // not decide the row; only one that comes after the page's own deadline
    // would (then paper is right).
    void readerFaceStaysUntilItsPageHasPainted()
    {
        auto other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer held;
        held.hang = true;
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/late.css"), held);
        const QByteArray link = QStringLiteral("<link rel=\"stylesheet\" href=\"http://localhost:%1/pages/late.css\">").arg(other->port()).toUtf8();
        // The page's deadline counts from its document's arrival, after its load started.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(open(WexoOptionType::about,
                     serve(QStringLiteral("late-styled.html"), colouredArticle("Red article", "#d02020").replace("</title>", "</title>" + link))));
        const QObject context;
        connect(browser()->page(), &QWebEnginePage::loadStarted, &context, [&] { clock.start(); });
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader; }));
        if (clock.elapsed() > WInAppBrowserPaintWatch::kDeadlineMs - 700)
            QSKIP("the reader face came too close to the page's deadline");
        const std::unique_ptr<FaceFilm> filmed = film();
        clickBar("inAppBrowserReader");
        spinUntil([] { return false; }, 200);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::reader);
        // The stylesheet fails: the page paints.
        other.reset();
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page && FaceFilm::look(faces()) == 'R'; }));
        spinUntil([] { return false; }, 300);
        QVERIFY2(QRegularExpression("^r?R$").match(filmed->looks()).hasMatch(), qPrintable(filmed->runs()));
    }

    // The deadline counts from the navigation the user or this library
    // started, not from each document the page makes after it by itself: a
    // page that reloads itself before it ever paints lapses all the same.
    void deadlineCountsFromTheUsersNavigation_data()
    {
        QTest::addColumn<bool>("byUser"); // the reload is the user's (the bar) at 1.5 s, else the page's own at 2 s
        QTest::addRow("the page reloads itself") << false;
        QTest::addRow("the user reloads it") << true;
    }

    void deadlineCountsFromTheUsersNavigation()
    {
        QFETCH(bool, byUser);
        const std::unique_ptr<WexoSample::SampleBackend> silent = otherHost();
        QVERIFY(silent);
        WexoSample::ScriptedAnswer hang;
        hang.hang = true;
        silent->script(QStringLiteral("GET"), QStringLiteral("/pages/never.css"), hang);
        // It never paints: its head waits for a stylesheet that never comes.
        const QByteArray head = byUser ? QByteArray() : "<script>setTimeout(() => location.reload(), 2000);</script>";
        const QUrl address(serve(QStringLiteral("reloading.html"),
                                 "<!DOCTYPE html><title>Reloading</title>" + head
                                     + QStringLiteral("<link rel=\"stylesheet\" href=\"http://localhost:%1/pages/never.css\"><p>Never shown.</p>")
                                           .arg(silent->port())
                                           .toUtf8()));
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        WInAppBrowserPaintWatch watch(&view, nullptr);
        // As the in-app page tells them of each new document's arrival; the
        // watch starts on a document at its report or its arrival, whichever
        // comes first (a new renderer's report may come late).
        QElapsedTimer clock;
        QList<qint64> created; // when each document reported itself
        qint64 firstArrival = -1;
        QUrl before;
        connect(&page, &QWebEnginePage::urlChanged, &watch, [&](const QUrl &url) {
            if (page.arrivedAt(url, std::exchange(before, url))) {
                if (clock.isValid() && firstArrival < 0)
                    firstArrival = clock.elapsed();
                watch.arrived(url);
            }
        });
        // A document shown first: the view's first surface is no more.
        page.load(QUrl(serve(QStringLiteral("first.html"), colouredPage("First", "#2040d0"))));
        QVERIFY(spinUntil([&] { return watch.shown(); }));
        qint64 lapsedAt = -1;
        connect(&watch, &WInAppBrowserPaintWatch::documentLapsed, &watch, [&] {
            if (lapsedAt < 0)
                lapsedAt = clock.elapsed();
        });
        connect(&page, &WInAppBrowserPage::documentCreated, &watch, [&] { created << clock.elapsed(); });
        clock.start();
        page.load(address);
        if (byUser) {
            spinUntil([] { return false; }, 1500);
            page.navigateForUser();
            page.triggerAction(QWebEnginePage::Reload);
        }
        spinUntil([&] { return lapsedAt >= 0 && created.size() >= 2; }, 3 * WInAppBrowserPaintWatch::kDeadlineMs);
        QVERIFY(created.size() >= 2);
        QVERIFY(firstArrival >= 0);
        // The user's reload starts the deadline anew; the page's own keeps the first document's.
        const qint64 from = byUser ? created.at(1) : qMin(created.at(0), firstArrival);
        // Its timer is a coarse one: it may fire 5 % early.
        QVERIFY2(lapsedAt >= from + WInAppBrowserPaintWatch::kDeadlineMs * 19 / 20 - 20 && lapsedAt < from + WInAppBrowserPaintWatch::kDeadlineMs + 1200,
                 qPrintable(QStringLiteral("lapsed at %1 ms, the deadline counted from %2 ms").arg(lapsedAt).arg(from)));
    }

    // Where the engine's timing decides, driven by hand on a real view that
    // holds a still page: a document counts as shown only once the view has
    // rendered a frame the engine handed it after the document's sign, never
    // on a render of the view's own (resized, shown anew) nor on a frame of
    // the picture before that was on its way behind the sign.
    void onlyTheEnginesFramesAfterTheSignCount_data()
    {
        QTest::addColumn<bool>("frameBehind"); // an engine frame is on its way when the sign comes
        QTest::addRow("the view renders by itself after the sign") << false;
        QTest::addRow("a frame of the picture before behind the sign") << true;
    }

    void onlyTheEnginesFramesAfterTheSignCount()
    {
        QFETCH(bool, frameBehind);
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        QQuickItem *item = loadStill(bare);
        QVERIFY(item);
        auto *surface = qobject_cast<QQuickWidget *>(view.focusProxy());
        int renders = 0;
        connect(surface->quickWindow(), &QQuickWindow::afterRendering, &view, [&] { ++renders; });
        const auto rendered = [&](int before) { return spinUntil([&] { return renders > before; }, 2000); };
        // Settled: the page sends no more frames.
        spinUntil([] { return false; }, 500);

        WInAppBrowserPaintWatch watch(&view, nullptr);
        watch.watch();
        int before = renders;
        if (frameBehind)
            QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        emit page.contentsSizeChanged(QSizeF(400, 301));
        if (!frameBehind) {
            QCoreApplication::processEvents();
            // Through the meta-object: the engine's item has no type
            // information the undefined-behaviour checker could verify.
            QMetaObject::invokeMethod(item, "update", Qt::DirectConnection);
        }
        QVERIFY(rendered(before));
        QVERIFY(!watch.shown());
        // The engine's frame of the document.
        before = renders;
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        QVERIFY(rendered(before));
        QVERIFY(watch.shown());
    }

    // A document whose sign comes after its frames (a still page painted
    // late, its first-paint report last) shows however often the view was
    // asked for a frame before on a guess; and a document that gives no sign
    // makes the view guess a few times only, not on and on. Driven by hand
    // on a real view that holds a still page taller than the view: the
    // view's frames came without any sign for long, and no frame follows
    // the sign by itself.
    void paintedDocumentShowsAfterGuesses()
    {
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        QQuickItem *item = loadStill(bare, true);
        QVERIFY(item);
        WInAppBrowserPaintWatch watch(&view, nullptr);
        QVERIFY(bare.showFirst(watch));
        // The next: a frame with no sign, and long enough after it for every
        // guess; each guess makes the view a pixel shorter or its height again.
        QList<int> heights;
        const QObject context;
        QTimer look;
        connect(&look, &QTimer::timeout, &context, [&] {
            if (heights.isEmpty() || heights.constLast() != view.contentsMargins().bottom())
                heights << view.contentsMargins().bottom();
        });
        look.start(5);
        watch.watch();
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        spinUntil([] { return false; }, 2500);
        QVERIFY(!watch.shown());
        QVERIFY2(heights.size() - 1 <= 3, qPrintable(QStringLiteral("%1 guesses").arg(heights.size() - 1)));
        emit page.documentPainted(1);
        QVERIFY(spinUntil([&] { return watch.shown(); }, 1500));
    }

    // A document whose sign came while another face of it covers the view
    // (its reader face): the view is not asked for a frame, nor does its
    // deadline pass, until its picture may show; then it is asked at once.
    // Driven by hand on a real view that holds a still page.
    void coveredDocumentOwesItsFrame()
    {
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        QQuickItem *item = loadStill(bare);
        QVERIFY(item);
        WInAppBrowserPaintWatch watch(&view, nullptr);
        QVERIFY(bare.showFirst(watch));
        // Settled: the page sends no more frames.
        spinUntil([] { return false; }, 500);
        QSignalSpy lapsed(&watch, &WInAppBrowserPaintWatch::documentLapsed);
        watch.setPictureWanted(false);
        watch.watch();
        // Its frame came before its sign; none follows.
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        spinUntil([] { return false; }, 100);
        emit page.documentPainted(1);
        spinUntil([] { return false; }, WInAppBrowserPaintWatch::kDeadlineMs + 500);
        QVERIFY(!watch.shown());
        QVERIFY(lapsed.isEmpty());
        QVERIFY(watch.frameOwed());
        QCOMPARE(view.contentsMargins().bottom(), 0);
        watch.setPictureWanted(true);
        QCOMPARE(view.contentsMargins().bottom(), 1);
        QVERIFY(!watch.frameOwed());
        QVERIFY(spinUntil([&] { return watch.shown(); }, 2000));
        QVERIFY(lapsed.isEmpty());
        QCOMPARE(view.contentsMargins().bottom(), 0);
    }

    // At the deadline, frames the view rendered with no sign of the document
    // count as its own only where the view never held another document's
    // picture; a document covered by its reader face until the next link
    // may never have been shown, yet the view holds its picture. Driven by
    // hand on a real view that holds a tall still page.
    void deadlineTakesFramesForTheFirstDocumentOnly_data()
    {
        QTest::addColumn<bool>("framesBefore"); // the engine handed the view frames of a document never shown
        QTest::addRow("the view's first document") << false;
        QTest::addRow("after frames of a document never shown") << true;
    }

    void deadlineTakesFramesForTheFirstDocumentOnly()
    {
        QFETCH(bool, framesBefore);
        BareView bare;
        QQuickItem *item = loadStill(bare, true);
        QVERIFY(item);
        WInAppBrowserPaintWatch watch(&bare.view, nullptr);
        if (framesBefore) {
            watch.watch();
            QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
            spinUntil([] { return false; }, 200);
            QVERIFY(!watch.shown());
        }
        // The next load: its document's frame never comes, the picture the
        // view holds is drawn again.
        emit bare.page.loadStarted();
        watch.watch();
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        QSignalSpy lapsed(&watch, &WInAppBrowserPaintWatch::documentLapsed);
        spinUntil([&] { return watch.shown() || !lapsed.isEmpty(); }, WInAppBrowserPaintWatch::kDeadlineMs + 1000);
        QCOMPARE(watch.shown(), !framesBefore);
        QCOMPARE(lapsed.isEmpty(), !framesBefore);
    }

    // Where the document before fitted the view unscrolled, a new one's first
    // frame would bring the same extent, which is no sign: the view is asked
    // for a frame (made a pixel shorter) as the new document arrives, on a
    // screen of any density (the engine's extent is in device pixels; CTest
    // runs this at twice the density too).
    void arrivalAfterAFittingDocumentAsksForAFrame()
    {
        BareView bare;
        QVERIFY(bare.load(QUrl(serve(QStringLiteral("short.html"), colouredPage("Short", "#2040d0")))));
        QVERIFY(spinUntil([&] { return !bare.page.contentsSize().isEmpty(); }));
        WInAppBrowserPaintWatch watch(&bare.view, nullptr);
        QCOMPARE(bare.view.contentsMargins().bottom(), 0);
        watch.arrived(QUrl(page(QStringLiteral("next.html"))));
        QCOMPARE(bare.view.contentsMargins().bottom(), 1);
    }

    // The engine may give up a navigation as aborted and go on with it anew
    // (a Back it could not take from its cache): the document it brings is
    // still a new document. Driven by hand on a real page, the aborted end
    // told as Back starts, as the in-app page tells it; and in the in-app
    // page, a real aborted end told again while a link to a page of the same
    // host is on its way: its page shows after paper, never the page before
    // under its title.
    void navigationOnItsWayOutlivesAnAbortedEnd_data()
    {
        QTest::addColumn<bool>("inAppPage");
        QTest::addRow("the page alone") << false;
        QTest::addRow("the in-app page") << true;
    }

    void navigationOnItsWayOutlivesAnAbortedEnd()
    {
        QFETCH(bool, inAppPage);
        if (inAppPage) {
            abortedEndInTheInAppPage();
            return;
        }
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        QUrl before;
        bool arrived = false;
        connect(&page, &QWebEnginePage::urlChanged, &view, [&](const QUrl &url) { arrived = page.arrivedAt(url, std::exchange(before, url)); });
        const QUrl first(serve(QStringLiteral("first.html"), colouredPage("First", "#2040d0")));
        for (const QUrl &url : {first, QUrl(serve(QStringLiteral("second.html"), colouredPage("Second", "#e0c020")))}) {
            QVERIFY(bare.load(url));
            QVERIFY(arrived);
            page.loadEnded(true);
        }
        const QMetaObject::Connection aborted = connect(&page, &QWebEnginePage::loadStarted, &view, [&] { page.loadEnded(false); });
        arrived = false;
        page.navigateForUser();
        page.triggerAction(QWebEnginePage::Back);
        QVERIFY(spinUntil([&] { return before == first; }));
        disconnect(aborted);
        QVERIFY(arrived);
    }

    // A reader face that paints only after the deadline (its renderer held
    // up, as a new one on a busy machine is): the page shows meanwhile, and
    // the reader face once painted, unless the user has acted on the page
    // since (then Reader, still offered, shows it).
    void slowReaderFaceStillShows_data()
    {
        QTest::addColumn<QString>("act"); // what the user does on the page meanwhile
        QTest::addRow("nothing") << "";
        QTest::addRow("a wheel turn") << "wheel";
        QTest::addRow("a click") << "click";
        QTest::addRow("a key") << "key";
        QTest::addRow("Reader on") << "reader";
    }

    void slowReaderFaceStillShows()
    {
        QFETCH(QString, act);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer storesPage;
        storesPage.contentType = "text/html; charset=utf-8";
        storesPage.body = article().replace("About Sample Shop", "Sample Shop Stores");
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/stores"), storesPage);
        QVERIFY(openArticleInReader());
        const pid_t readerRenderer = rendererOf(browser()->readerFace()->page());
        if (readerRenderer == rendererOf(browser()->page()))
            QSKIP("the reader face shares the page's renderer here");
        // Held up from the moment the next article's page arrives, before its article reaches it.
        const QString stores = QStringLiteral("http://localhost:%1/pages/stores").arg(other->port());
        bool held = false;
        auto resume = qScopeGuard([&] {
            if (held)
                ::kill(readerRenderer, SIGCONT);
        });
        const QObject context;
        connect(browser()->page(), &QWebEnginePage::urlChanged, &context, [&](const QUrl &url) {
            if (url == QUrl(stores) && !held)
                held = ::kill(readerRenderer, SIGSTOP) == 0;
        });
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(clickLinkTo(stores));
        // The deadline: the page shows, Reader offered.
        QVERIFY(spinUntil([&] { return !checked.isEmpty(); }));
        QVERIFY(held);
        QCOMPARE(checked.constFirst().constFirst().toBool(), false);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QVERIFY(barButton("inAppBrowserReader")->isEnabled());
        QVERIFY(!readerChecked());
        QWidget *surface = browser()->webView()->focusProxy();
        if (act == QLatin1String("wheel")) {
            QWheelEvent wheel(QPointF(100, 100), surface->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, -120), Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(surface, &wheel);
        } else if (act == QLatin1String("click")) {
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(100, 100));
        } else if (act == QLatin1String("key")) {
            QTest::keyClick(surface, Qt::Key_Down);
        } else if (act == QLatin1String("reader")) {
            clickBar("inAppBrowserReader");
        }
        resume.dismiss();
        ::kill(readerRenderer, SIGCONT);
        const bool shows = act.isEmpty() || act == QLatin1String("reader");
        if (shows) {
            QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader; }));
            QCOMPARE(articleInReaderFace(QStringLiteral("Sample Shop Stores"), QStringLiteral("localhost")), QString());
            WEXO_TRY_COMPARE(checked.constLast().constFirst().toBool(), true, 5000);
            return;
        }
        // Painted by then, had it come.
        spinUntil([] { return false; }, 3000);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QVERIFY(!readerChecked());
        clickBar("inAppBrowserReader");
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader; }));
        QCOMPARE(articleInReaderFace(QStringLiteral("Sample Shop Stores"), QStringLiteral("localhost")), QString());
    }
};

int main(int argc, char **argv)
{
    return runInAppPageTests(argc, argv, [] { return std::unique_ptr<QObject>(new tst_InAppCover); });
}

#else

#include <QTest>

class tst_InAppCover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtWithoutWebView() { QSKIP("built without Qt WebEngine (WEXO_WEB_VIEW off)"); }
};

QTEST_MAIN(tst_InAppCover)

#endif

#include "tst_inappcover.moc"
