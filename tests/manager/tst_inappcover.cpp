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
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#include <memory>

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
    };

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
    // its cover until it has drawn (on a busy machine, any page may be).
    void coveredPageRests_data()
    {
        QTest::addColumn<QString>("cover");
        QTest::addColumn<int>("busyMs"); // the page's script, from just before it is uncovered
        QTest::addRow("reader face") << "reader" << 0;
        QTest::addRow("sign-in message of a link") << "message" << 0;
        QTest::addRow("reader face, the page busy for 1 s as it is uncovered") << "reader" << 1000;
    }

    void coveredPageRests()
    {
        QFETCH(QString, cover);
        QFETCH(int, busyMs);
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
        const std::unique_ptr<FaceFilm> filmed = film();
        clickBar(reader ? "inAppBrowserReader" : "inAppBrowserBack");
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

    // Reader off while the page under the reader face has yet to paint (its
    // stylesheet comes late; on a busy machine any page may be slow): the
    // reader face stays until the page has a picture, no paper between.
    void readerFaceStaysUntilItsPageHasPainted()
    {
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer style;
        style.contentType = "text/css";
        style.body = "p { margin: 1em 0 }";
        style.delayMs = 2500;
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/late.css"), style);
        const QByteArray link = QStringLiteral("<link rel=\"stylesheet\" href=\"http://localhost:%1/pages/late.css\">").arg(other->port()).toUtf8();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(open(WexoOptionType::about,
                     serve(QStringLiteral("late-styled.html"), colouredArticle("Red article", "#d02020").replace("</title>", "</title>" + link))));
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::reader; }));
        if (clock.elapsed() > 1500)
            QSKIP("the reader face came too late to come before the page's picture");
        const std::unique_ptr<FaceFilm> filmed = film();
        clickBar("inAppBrowserReader");
        QVERIFY(spinUntil([&] { return browser()->face() == WInAppBrowser::Face::page && FaceFilm::look(faces()) == 'R'; }));
        QVERIFY2(clock.elapsed() > style.delayMs, qPrintable(QString::number(clock.elapsed())));
        spinUntil([] { return false; }, 300);
        QVERIFY2(QRegularExpression("^r?R$").match(filmed->looks()).hasMatch(), qPrintable(filmed->runs()));
    }

    // The deadline counts from the navigation the user or this library
    // started, not from each document the page makes after it by itself: a
    // page that reloads itself before it ever paints lapses all the same.
    void deadlineCountsFromTheUsersNavigation_data()
    {
        QTest::addColumn<bool>("byUser"); // the reload at 1.5 s is the user's (the bar), else the page's own
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
        const QByteArray head = byUser ? QByteArray() : "<script>setTimeout(() => location.reload(), 1500);</script>";
        const QUrl address(serve(QStringLiteral("reloading.html"),
                                 "<!DOCTYPE html><title>Reloading</title>" + head
                                     + QStringLiteral("<link rel=\"stylesheet\" href=\"http://localhost:%1/pages/never.css\"><p>Never shown.</p>")
                                           .arg(silent->port())
                                           .toUtf8()));
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        WInAppBrowserPaintWatch watch(&view, nullptr);
        // As the in-app page tells them of each new document's arrival.
        QUrl before;
        connect(&page, &QWebEnginePage::urlChanged, &watch, [&](const QUrl &url) {
            if (page.arrivedAt(url, std::exchange(before, url)))
                watch.arrived(url);
        });
        // A document shown first: the view's first surface is no more.
        page.load(QUrl(serve(QStringLiteral("first.html"), colouredPage("First", "#2040d0"))));
        QVERIFY(spinUntil([&] { return watch.shown(); }));
        QElapsedTimer clock;
        qint64 lapsedAt = -1;
        connect(&watch, &WInAppBrowserPaintWatch::documentLapsed, &watch, [&] {
            if (lapsedAt < 0)
                lapsedAt = clock.elapsed();
        });
        int created = 0;
        connect(&page, &WInAppBrowserPage::documentCreated, &watch, [&] { ++created; });
        clock.start();
        page.load(address);
        if (byUser) {
            spinUntil([] { return false; }, 1500);
            page.navigateForUser();
            page.triggerAction(QWebEnginePage::Reload);
        }
        spinUntil([&] { return lapsedAt >= 0; }, 3 * WInAppBrowserPaintWatch::kDeadlineMs);
        QVERIFY(created >= 2);
        const qint64 from = byUser ? 1500 : 0;
        QVERIFY2(lapsedAt >= from + WInAppBrowserPaintWatch::kDeadlineMs - 300 && lapsedAt < from + WInAppBrowserPaintWatch::kDeadlineMs + 1500,
                 qPrintable(QStringLiteral("lapsed at %1 ms").arg(lapsedAt)));
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
        QVERIFY(bare.load(QUrl(serve(QStringLiteral("still.html"), colouredPage("Still", "#2040d0")))));
        QQuickItem *item = bare.engineItem();
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
    // asked for a frame before on a guess. Driven by hand on a real view
    // that holds a still page taller than the view: the view's frames came
    // without any sign for long, and no frame follows the sign by itself.
    void paintedDocumentShowsAfterGuesses()
    {
        BareView bare;
        WInAppBrowserPage &page = bare.page;
        QWebEngineView &view = bare.view;
        const QByteArray line = "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>";
        QVERIFY(bare.load(QUrl(serve(QStringLiteral("tall.html"), "<!DOCTYPE html><title>Tall</title>" + line.repeated(60)))));
        spinUntil([] { return false; }, 500);
        QQuickItem *item = bare.engineItem();
        QVERIFY(item);
        // A document shown first: the view's first surface is no more.
        WInAppBrowserPaintWatch watch(&view, nullptr);
        watch.watch();
        emit page.contentsSizeChanged(page.contentsSize());
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        QVERIFY(spinUntil([&] { return watch.shown(); }));
        // The next: a frame with no sign, and long enough after it for every guess.
        watch.watch();
        QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
        spinUntil([] { return false; }, 2500);
        QVERIFY(!watch.shown());
        emit page.documentPainted(1);
        QVERIFY(spinUntil([&] { return watch.shown(); }, 1500));
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
    // still a new document. Driven by hand on a real page: the aborted end
    // is told as Back starts, as the in-app page tells it.
    void navigationOnItsWayOutlivesAnAbortedEnd()
    {
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
