#ifdef WEXO_WEB_VIEW

#include "support/FaceFilm.h"
#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WLogging.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <csignal>

using namespace WexoCreator;

// The in-app page's reader face and its history end to end: which face each
// document shows, and where links, Back and Forward lead from it.
class tst_InAppReader : public InAppPageFixture
{
    Q_OBJECT

    static QByteArray picture(const QSize &size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    }

    // A page served by another host until the test ends.
    static void serveOn(WexoSample::SampleBackend &host, const QString &name, const QByteArray &body)
    {
        WexoSample::ScriptedAnswer answer;
        answer.contentType = "text/html; charset=utf-8";
        answer.body = body;
        host.script(QStringLiteral("GET"), QStringLiteral("/pages/") + name, answer);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(startHost()); }

    void init()
    {
        if (!WReaderFace::available())
            QSKIP("built without the reader library");
        m_sink.urls.clear();
    }

    void cleanup() { QVERIFY(closePage()); }

    void cleanupTestCase()
    {
        stopHost();
    }

    void readerFace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("title");
        QTest::addRow("article") << "about.html" << true << "About Sample Shop";
        QTest::addRow("sign-in form") << "sign-in.html" << false << "Sign in to Sample Shop";
    }

    void readerFace()
    {
        QFETCH(QString, name);
        QFETCH(bool, readable);
        QFETCH(QString, title);
        QVERIFY(open(WexoOptionType::about, page(name)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(checked.constFirst().constFirst().toBool(), readable);
        QCOMPARE(browser()->face(), readable ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page);
        WEXO_TRY_COMPARE(browser()->page()->title(), title, 5000);
        QCOMPARE(scriptsOn(), !readable);
        if (!readable)
            return;
        // The article alone: the page's navigation is gone.
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav').length")).toInt(), 0);
        QCOMPARE(evaluate(QStringLiteral("document.querySelector('h1').textContent")).toString(), title);
        // Back to the page: scripts on, the page itself as it stood, not examined again.
        evaluateIn(browser()->page(), QStringLiteral("window.wexoKept = 'yes'"));
        checked.clear();
        browser()->showReader(false);
        WEXO_TRY_COMPARE(checked.size(), 1, 5000);
        QCOMPARE(checked.constLast().constFirst().toBool(), false);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QVERIFY(scriptsOn());
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav a').length")).toInt(), 3);
        QCOMPARE(evaluate(QStringLiteral("window.wexoKept")).toString(), QStringLiteral("yes"));
        // The reader face is no entry of the history: Back has nowhere to go.
        QVERIFY(!barButton("inAppBrowserBack")->isEnabled());
        QTest::qWait(500);
        QCOMPARE(checked.size(), 1);
    }

    void readerDocumentLimit_data()
    {
        QTest::addColumn<int>("contentBytes");
        QTest::addColumn<bool>("fits");
        QTest::addRow("small") << 1000 << true;
        QTest::addRow("just under") << 1'500'000 << true;
        QTest::addRow("over once encoded") << 1'600'000 << false;
    }

    void readerDocumentLimit()
    {
        QFETCH(int, contentBytes);
        QFETCH(bool, fits);
        const auto document = WReaderFace::document({QStringLiteral("<b>T</b>"), QStringLiteral("by <i>me</i>"), QString(contentBytes, u'x')});
        QCOMPARE(document.has_value(), fits);
        if (document) {
            QVERIFY(document->contains(QStringLiteral("&lt;b&gt;T&lt;/b&gt;")));
            QVERIFY(document->contains(QStringLiteral("script-src 'none'")));
        }
    }

    // A document that navigates itself while its reader face is up: the bar
    // and the face follow the page view, and nothing of the old article stays
    // on screen under another address.
    void readerFaceFollowsThePagesOwnNavigation_data()
    {
        // It moves on 3 s after its load: its reader face is up by then, also on a busy machine.
        QTest::addColumn<QByteArray>("how"); // %1: where to
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("message");
        QTest::addRow("meta refresh to another host")
            << QByteArray("<meta http-equiv=\"refresh\" content=\"3; url=%1\">") << "http://localhost:%1/pages/sign-in.html" << false;
        QTest::addRow("script to another host")
            << QByteArray("<script>addEventListener('load', () => setTimeout(() => location.href = '%1', 3000));</script>")
            << "http://localhost:%1/pages/sign-in.html" << false;
        QTest::addRow("a link the page clicks")
            << QByteArray("<a id=\"onward\" href=\"%1\"></a><script>addEventListener('load', () => setTimeout(() => onward.click(), 3000));</script>")
            << "http://localhost:%1/pages/sign-in.html" << false;
        QTest::addRow("meta refresh to an empty page") << QByteArray("<meta http-equiv=\"refresh\" content=\"3; url=%1\">") << "about:blank" << true;
    }

    void readerFaceFollowsThePagesOwnNavigation()
    {
        QFETCH(QByteArray, how);
        QFETCH(QString, to);
        QFETCH(bool, message);
        const QString target = to.arg(m_backend->backend().port());
        QByteArray moving = article();
        moving.replace("<p class=\"byline\">", QString::fromUtf8(how).arg(target).toUtf8() + "<p class=\"byline\">");
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("moving.html"), moving)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(articleInReaderFace(), QString());
        WEXO_TRY_COMPARE(browser()->pageUrl(), QUrl(target), 20000);
        WEXO_TRY_COMPARE(browser()->face(), message ? WInAppBrowser::Face::message : WInAppBrowser::Face::page, 20000);
        QVERIFY(!readerChecked());
        if (message)
            return;
        QCOMPARE(barText("inAppBrowserHost"), QStringLiteral("localhost"));
        WEXO_TRY_COMPARE(barTip("inAppBrowserTitle"), QStringLiteral("Sign in to Sample Shop"), 5000);
        QCOMPARE(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("Sign in to Sample Shop"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {target});
    }

    // Article pages move their own address as they load (history API): that
    // is the same document, so the reader face going up stays up and the bar
    // keeps naming the page, however often it moves, also while a part of
    // it never comes (its load never ends).
    void readerFaceOutlastsAddressChanges_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addRow("pushState every 20 ms") << "setInterval(function () { history.pushState(null, '', '?step=' + ++n); }, 20);";
        QTest::addRow("pushState every 5 ms") << "setInterval(function () { history.pushState(null, '', '?step=' + ++n); }, 5);";
        QTest::addRow("replaceState every 20 ms") << "setInterval(function () { history.replaceState(null, '', '?step=' + ++n); }, 20);";
        // Moves that end while the page loads or just after.
        const QList<std::tuple<const char *, int, int>> bursts {{"pushState", 20, 20}, {"pushState", 150, 20}, {"replaceState", 50, 20},
                                                                {"pushState", 30, 100}, {"hash", 100, 20}};
        for (const auto &[how, times, everyMs] : bursts) {
            const QString move = QLatin1String(how) == QLatin1String("hash") ? QStringLiteral("location.hash = 'step' + n;")
                                                                              : QStringLiteral("history.%1(null, '', '?step=' + n);").arg(QLatin1String(how));
            const QString step = QStringLiteral("if (++n > %1) clearInterval(moving); else %2").arg(times).arg(move);
            QTest::addRow("%s %d times every %d ms", how, times, everyMs)
                << QStringLiteral("var moving = setInterval(function () { %1 }, %2); %1").arg(step).arg(everyMs);
        }
    }

    void readerFaceOutlastsAddressChanges()
    {
        QFETCH(QString, script);
        const std::unique_ptr<WexoSample::SampleBackend> silent = otherHost();
        QVERIFY(silent);
        WexoSample::ScriptedAnswer hang;
        hang.hang = true;
        silent->script(QStringLiteral("GET"), QStringLiteral("/pages/never.png"), hang);
        QByteArray moving = articleWith(QStringLiteral("<img src=\"http://localhost:%1/pages/never.png\" alt=\"\">").arg(silent->port()).toUtf8());
        // From the start: the document moves before it has been read in.
        moving.replace("</title>", "</title><script>var n = 0; " + script.toUtf8() + "</script>");
        const QString address = serve(QStringLiteral("moving.html"), moving);
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        WEXO_TRY_VERIFY(!checked.isEmpty() || !shown.isEmpty(), 20000);
        // A round trip through the page: any late address change has arrived by then.
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(browser()->messageText(), QString());
        QCOMPARE(articleInReaderFace(), QString());
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls.size(), 1);
        QCOMPARE(QUrl(m_sink.urls.constFirst()).adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString(), address);
    }

    // A link clicked in the reader face loads in the page view and the face
    // follows the document it brings; one that brings none (a download, no
    // content, a host that never answers) leaves the article as it was: face,
    // bar and "Open in browser" change only with the document shown.
    void readerLinkChangesTheFaceOnlyWithADocument_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("leaves");
        QTest::addRow("link is a download") << "download" << false;
        QTest::addRow("link answers no content") << "no content" << false;
        QTest::addRow("link's host does not answer") << "silence" << false;
        QTest::addRow("link to a page elsewhere") << "page" << true;
        // A new document of the same article: in its reader face again.
        QTest::addRow("link to the article's own address") << "article" << false;
        QTest::addRow("link to a part of the article") << "part" << false;
    }

    void readerLinkChangesTheFaceOnlyWithADocument()
    {
        QFETCH(QString, end);
        QFETCH(bool, leaves);
        const std::unique_ptr<WexoSample::SampleBackend> otherBackend = otherHost();
        QVERIFY(otherBackend);
        WexoSample::SampleBackend &other = *otherBackend;
        WexoSample::ScriptedAnswer answer;
        answer.status = end == QLatin1String("no content") ? 204 : 200;
        answer.contentType = end == QLatin1String("page") ? "text/html; charset=utf-8" : "application/octet-stream";
        answer.body = end == QLatin1String("download") ? "%PDF-1.4" : end == QLatin1String("page") ? nextPage() : "";
        answer.hang = end == QLatin1String("silence");
        other.script(QStringLiteral("GET"), QStringLiteral("/pages/next"), answer);
        const QString address = page(QStringLiteral("about.html"));
        const QString target = end == QLatin1String("article") ? address
            : end == QLatin1String("part")                     ? address + QStringLiteral("#stores")
                                                               : QStringLiteral("http://localhost:%1/pages/next").arg(other.port());

        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::reader);
        EndedLoads ended(browser()->page());
        QVERIFY(clickLinkTo(target));
        if (answer.hang)
            WEXO_TRY_VERIFY(!other.requests(QStringLiteral("/pages/next")).isEmpty(), 20000);
        else if (end == QLatin1String("part"))
            WEXO_TRY_COMPARE(evaluate(QStringLiteral("location.hash")).toString(), QStringLiteral("#stores"), 5000);
        else
            WEXO_TRY_VERIFY(ended.urls.contains(QUrl(target)), 20000);
        // The same article anew: asked only once its face has settled (a
        // script sent to a document on its way out may go unanswered).
        if (end == QLatin1String("article"))
            WEXO_TRY_VERIFY(checked.size() == 2, 20000);
        evaluate(QStringLiteral("document.readyState"));
        if (leaves) {
            // The page itself, its scripts run from its start.
            WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
            QVERIFY(!readerChecked());
            clickBar("inAppBrowserOpenExternal");
            QCOMPARE(m_sink.urls, QStringList {target});
            return;
        }
        WEXO_TRY_COMPARE(articleInReaderFace(), QString(), 20000);
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {address});
    }

    // A link from the reader face that brings no document leaves the article
    // as it was, and the load is over: the page moving on by itself after it
    // (its own refresh, no gesture of the user's) is skipped by Back.
    void pageMovesOnAfterALinkThatBroughtNothing_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addRow("no content") << false;
        QTest::addRow("download") << true;
    }

    void pageMovesOnAfterALinkThatBroughtNothing()
    {
        QFETCH(bool, download);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer nothing;
        nothing.status = download ? 200 : 204;
        nothing.contentType = "application/octet-stream";
        nothing.body = download ? "%PDF-1.4" : "";
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/nothing"), nothing);
        serveOn(*other, QStringLiteral("onward"), nextPage());
        const QString target = QStringLiteral("http://localhost:%1/pages/nothing").arg(other->port());
        const QString onward = QStringLiteral("http://localhost:%1/pages/onward").arg(other->port());
        QVERIFY(openArticleInReader());
        EndedLoads ended(browser()->page());
        QVERIFY(clickLinkTo(target));
        WEXO_TRY_VERIFY(ended.urls.contains(QUrl(target)), 20000);
        QCOMPARE(articleInReaderFace(), QString());
        evaluateIn(browser()->page(), QStringLiteral("var refresh = document.createElement('meta'); refresh.httpEquiv = 'refresh';"
                                                     "refresh.content = '2; url=%1'; document.head.appendChild(refresh);")
                                          .arg(onward));
        WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
        QCOMPARE(browser()->pageUrl(), QUrl(onward));
        QVERIFY(!barButton("inAppBrowserBack")->isEnabled());
    }

    // A link to a part of the article clicked while a link clicked before is
    // still on its way moves within the same document: the reader face stays
    // as it does with no link on its way. The link on its way changes the
    // face only if it brings a document.
    void partLinkWhileALinkIsOnItsWay_data()
    {
        QTest::addColumn<bool>("bringsAPage");
        QTest::addRow("the link on its way answers no content") << false;
        QTest::addRow("the link on its way brings a page") << true;
    }

    void partLinkWhileALinkIsOnItsWay()
    {
        QFETCH(bool, bringsAPage);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer slow;
        slow.delayMs = 4000;
        slow.status = bringsAPage ? 200 : 204;
        slow.contentType = "text/html; charset=utf-8";
        slow.body = bringsAPage ? nextPage() : QByteArray();
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/next"), slow);
        const QString address = page(QStringLiteral("about.html"));
        const QString target = QStringLiteral("http://localhost:%1/pages/next").arg(other->port());
        QVERIFY(openArticleInReader());
        EndedLoads ended(browser()->page());
        QVERIFY(clickLinkTo(target));
        WEXO_TRY_VERIFY(!other->requests(QStringLiteral("/pages/next")).isEmpty(), 20000);
        QVERIFY(clickLinkTo(address + QStringLiteral("#stores")));
        WEXO_TRY_COMPARE(evaluate(QStringLiteral("location.hash")).toString(), QStringLiteral("#stores"), 5000);
        evaluate(QStringLiteral("document.readyState"));
        QVERIFY2(!ended.urls.contains(QUrl(target)), "the link ended before the part of the article was shown");
        QCOMPARE(browser()->face(), WInAppBrowser::Face::reader);
        QVERIFY(readerChecked());
        // A part of the article is no entry of the history, nor is the link on its way.
        QVERIFY(!barButton("inAppBrowserBack")->isEnabled());
        QCOMPARE(barText("inAppBrowserHost"), QStringLiteral("127.0.0.1"));

        WEXO_TRY_VERIFY(ended.urls.contains(QUrl(target)), 20000);
        evaluate(QStringLiteral("document.readyState"));
        if (bringsAPage) {
            WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
            // Back is the article, in its reader face.
            QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
            clickBar("inAppBrowserBack");
            QVERIFY(checked.wait(20000));
            QCOMPARE(checked.constLast().constFirst().toBool(), true);
            QCOMPARE(articleInReaderFace(), QString());
            return;
        }
        QCOMPARE(articleInReaderFace(), QString());
        // Reload loads the article's page anew, and its reader face stays
        // where the user left it.
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        clickBar("inAppBrowserReload");
        QVERIFY(checked.wait(20000));
        QCOMPARE(articleInReaderFace(), QString());
        QCOMPARE(evaluate(QStringLiteral("location.hash")).toString(), QStringLiteral("#stores"));
    }

    // Back from the page a link in the reader face led to returns to the
    // article in its reader face where the user left it, as a browser's
    // reader mode does, whatever redirects the link went through (they
    // belong to the link's own load); Forward from there returns to that page.
    void backReturnsToTheReaderFace_data()
    {
        QTest::addColumn<QList<int>>("redirects"); // the statuses the link answers with, in turn
        QTest::addColumn<QString>("lands"); // a page or an article on another host, or a part of the article
        QTest::addColumn<bool>("shorter"); // the article's next answer ends above the place the user left
        QTest::addRow("direct link") << QList<int> {} << "page" << false;
        for (int status : {301, 302, 303, 307, 308})
            QTest::addRow("%d to a page", status) << QList<int> {status} << "page" << false;
        QTest::addRow("302 to an article") << QList<int> {302} << "article" << false;
        QTest::addRow("301 then 302 to a page") << QList<int> {301, 302} << "page" << false;
        QTest::addRow("302 to a part of the article") << QList<int> {302} << "part" << false;
        QTest::addRow("direct link, the article shorter since") << QList<int> {} << "page" << true;
    }

    void backReturnsToTheReaderFace()
    {
        QFETCH(QList<int>, redirects);
        QFETCH(QString, lands);
        QFETCH(bool, shorter);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        serveOn(*other, QStringLiteral("next"), nextPage());
        serveOn(*other, QStringLiteral("stores"), article().replace("About Sample Shop", "Sample Shop Stores"));
        const QByteArray paragraph = "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n";
        // Where the article gets shorter, Back takes its answer anew: none is to be kept.
        const auto serveArticle = [&](const QByteArray &body) {
            WexoSample::ScriptedAnswer answer;
            answer.contentType = "text/html; charset=utf-8";
            if (shorter)
                answer.headers = {{"Cache-Control", "no-store"}};
            answer.body = body;
            m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/long-about.html"), answer);
            return page(QStringLiteral("long-about.html"));
        };
        const QString address = serveArticle(article().replace("</article>", paragraph.repeated(80) + "</article>"));
        const QString elsewhere = QStringLiteral("http://localhost:%1/pages/").arg(other->port());
        const bool part = lands == QLatin1String("part");
        const QString target = part ? address + QStringLiteral("#stores") : elsewhere + (lands == QLatin1String("page") ? "next" : "stores");
        // Each redirect leads to the next one, the last to the target.
        QString link = target;
        for (qsizetype at = redirects.size() - 1; at >= 0; --at) {
            WexoSample::ScriptedAnswer redirect;
            redirect.status = redirects.at(at);
            redirect.contentType = "text/html";
            redirect.headers = {{"Location", link.toUtf8()}};
            other->script(QStringLiteral("GET"), QStringLiteral("/pages/r%1").arg(at), redirect);
            link = elsewhere + QStringLiteral("r%1").arg(at);
        }
        const auto landed = [&]() -> QString {
            if (browser()->pageUrl() != QUrl(target))
                return browser()->pageUrl().toString();
            if (lands == QLatin1String("page"))
                return nextPageInPageFace();
            return part ? articleInReaderFace() : articleInReaderFace(QStringLiteral("Sample Shop Stores"), QStringLiteral("localhost"));
        };
        QVERIFY(open(WexoOptionType::about, address));
        QVERIFY(QSignalSpy(browser(), &WInAppBrowser::readerChecked).wait(20000));
        QCOMPARE(articleInReaderFace(), QString());
        const int place = evaluate(QStringLiteral("scrollTo(0, 3300); scrollY")).toInt();
        QVERIFY(place > 2000);
        QToolButton *back = barButton("inAppBrowserBack");
        QToolButton *forward = barButton("inAppBrowserForward");
        QVERIFY(clickLinkTo(link));
        if (shorter) {
            WEXO_TRY_COMPARE(landed(), QString(), 20000);
            serveArticle(article());
            QVERIFY(settledAfter([&] { QTest::mouseClick(back, Qt::LeftButton); }));
            QCOMPARE(articleInReaderFace(), QString());
            // Its end, or its top: never below it, nor does the place make the document taller.
            const QStringList seen = evaluate(QStringLiteral("[scrollY, innerHeight, document.documentElement.scrollHeight,"
                                                             " document.querySelector('.wexo-reader').offsetHeight].join(' ')"))
                                         .toString()
                                         .split(u' ');
            QCOMPARE(seen.size(), 4);
            const int y = seen.at(0).toInt(), view = seen.at(1).toInt(), height = seen.at(2).toInt(), text = seen.at(3).toInt();
            QVERIFY2(height <= text + 1 && (y == 0 || qAbs(y + view - height) <= 2),
                     qPrintable(QStringLiteral("at %1 of %2 (view %3, article %4)").arg(y).arg(height).arg(view).arg(text)));
            QVERIFY(height < place);
            QCOMPARE(FaceFilm::look(browser()->webView()->parentWidget()), 'a');
            return;
        }
        for (int round = 0; round < 2; ++round) {
            WEXO_TRY_COMPARE(landed(), QString(), 20000);
            QVERIFY(back->isEnabled());
            QVERIFY(settledAfter([&] { QTest::mouseClick(back, Qt::LeftButton); }));
            QCOMPARE(articleInReaderFace(), QString());
            const int now = evaluate(QStringLiteral("scrollY")).toInt();
            QVERIFY2(qAbs(now - place) <= 20, qPrintable(QStringLiteral("at %1, left at %2").arg(now).arg(place)));
            QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
            m_sink.urls.clear();
            clickBar("inAppBrowserOpenExternal");
            QCOMPARE(m_sink.urls, QStringList {address});
            WEXO_TRY_VERIFY(forward->isEnabled(), 5000);
            QTest::mouseClick(forward, Qt::LeftButton);
        }
        WEXO_TRY_COMPARE(landed(), QString(), 20000);
    }

    // The engine keeps at most 50 entries and drops the oldest: from an
    // article's reader face, a link to a page that walks many entries of its
    // own forth and back again (on a click, so none is skipped); Back is that
    // article, in its reader face, under its own address.
    void backAfterAPageWalksItsOwnHistory_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addRow("46 entries") << 46;
        QTest::addRow("47 entries") << 47;
        QTest::addRow("48 entries") << 48;
    }

    void backAfterAPageWalksItsOwnHistory()
    {
        QFETCH(int, entries);
        const QString stores = serve(QStringLiteral("stores.html"), article().replace("About Sample Shop", "Sample Shop Stores"));
        const QString walking = serve(QStringLiteral("walking.html"),
                                      QStringLiteral("<!DOCTYPE html><title>Walking</title><body style=\"margin:0\">"
                                                     "<button style=\"width:100%;height:100vh\" onclick=\"if (!window.walking) { window.walking = true;"
                                                     " for (let i = 1; i <= %1; ++i) history.pushState(null, '', '?entry=' + i);"
                                                     " history.go(-%1); }\">Walk</button><script>"
                                                     "addEventListener('popstate', () => document.body.dataset.walked = 'yes');</script>")
                                          .arg(entries)
                                          .toUtf8());
        QVERIFY(openArticleInReader());
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(clickLinkTo(stores));
        WEXO_TRY_VERIFY(!checked.isEmpty() && barTip("inAppBrowserTitle") == QLatin1String("Sample Shop Stores"), 20000);
        // Read in its reader face (where it did not come up by itself, Reader puts it there).
        if (browser()->face() != WInAppBrowser::Face::reader) {
            checked.clear();
            clickBar("inAppBrowserReader");
            WEXO_TRY_VERIFY(!checked.isEmpty(), 20000);
        }
        QCOMPARE(articleInReaderFace(QStringLiteral("Sample Shop Stores")), QString());
        QVERIFY(clickLinkTo(walking));
        WEXO_TRY_VERIFY(barTip("inAppBrowserTitle") == QLatin1String("Walking"), 20000);
        QVERIFY(pageTakesClicks());
        WEXO_TRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.walked || ''")).toString(), QStringLiteral("yes"), 20000);

        QVERIFY(barButton("inAppBrowserBack")->isEnabled());
        QVERIFY(settledAfter([&] { clickBar("inAppBrowserBack"); }));
        QCOMPARE(articleInReaderFace(QStringLiteral("Sample Shop Stores")), QString());
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("Sample Shop Stores"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {stores});
    }

    // A page a link from the reader face led to that moves on by itself: it
    // adds to the history (which the engine's Back skips when done without a
    // gesture) or replaces itself (which the engine reports as a redirect when
    // stepped to). Back returns to the article in its reader face, and
    // Forward from there to where the page went.
    void backAndForwardAroundAPageThatMovesOn_data()
    {
        QTest::addColumn<QByteArray>("how");
        QTest::addColumn<QString>("arrived"); // the bar's title once the page has moved on
        QTest::addRow("pushState on load") << QByteArray("<script>history.pushState(null, '', '?pushed');</script>") << "Moving";
        // Once loaded: before, the engine takes it for a redirect that replaces the page.
        QTest::addRow("location.href once loaded")
            << QByteArray("<script>addEventListener('load', () => setTimeout(() => location.href = '/pages/next', 100));</script>") << "Next";
        QTest::addRow("location.replace") << QByteArray("<script>location.replace('/pages/next');</script>") << "Next";
        QTest::addRow("meta refresh after 0 s") << QByteArray("<meta http-equiv=\"refresh\" content=\"0; url=/pages/next\">") << "Next";
        QTest::addRow("meta refresh after 1 s") << QByteArray("<meta http-equiv=\"refresh\" content=\"1; url=/pages/next\">") << "Next";
    }

    void backAndForwardAroundAPageThatMovesOn()
    {
        QFETCH(QByteArray, how);
        QFETCH(QString, arrived);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        serveOn(*other, QStringLiteral("moving"), "<!DOCTYPE html><title>Moving</title>" + how);
        serveOn(*other, QStringLiteral("next"), nextPage());
        QVERIFY(openArticleInReader());
        QVERIFY(clickLinkTo(QStringLiteral("http://localhost:%1/pages/moving").arg(other->port())));
        const auto hasArrived = [&] { return barText("inAppBrowserHost") == QLatin1String("localhost") && barTip("inAppBrowserTitle") == arrived; };
        WEXO_TRY_VERIFY(hasArrived(), 20000);
        // A round trip through the page: its own work is done by then.
        evaluate(QStringLiteral("document.readyState"));
        QVERIFY(barButton("inAppBrowserBack")->isEnabled());
        QVERIFY(settledAfter([&] { clickBar("inAppBrowserBack"); }));
        QCOMPARE(articleInReaderFace(), QString());
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {page(QStringLiteral("about.html"))});
        WEXO_TRY_VERIFY(barButton("inAppBrowserForward")->isEnabled(), 5000);
        clickBar("inAppBrowserForward");
        WEXO_TRY_VERIFY(hasArrived(), 20000);
        WEXO_TRY_COMPARE(browser()->face(), WInAppBrowser::Face::page, 20000);
    }

    // The first page moves on by itself, with no gesture of the user's: the
    // engine's Back skips every entry such a page added. Where the page only
    // moved its own address (history API, a part of it), Back takes it back
    // to where it was first shown; where it moved on to another document,
    // going back would only move on again, and Back is not offered.
    void backAfterTheFirstPageMovesItself_data()
    {
        QTest::addColumn<QByteArray>("move");
        QTest::addColumn<bool>("isArticle");
        QTest::addColumn<bool>("offered");
        const QList<std::tuple<const char *, QByteArray, bool>> moves {
            {"pushState", "history.pushState(null, '', '?pushed');", true},
            {"hash", "location.hash = 'moved';", true},
            {"href", "location.href = '/pages/next.html';", false},
            // The page's own console cannot pass for the user.
            {"href after a forged gesture", "console.log('activated'); console.log('x activated'); location.href = '/pages/next.html';", false},
            {"pushState in a loop", "var n = 0; setInterval(() => history.pushState(null, '', '?n=' + ++n), 300);", true},
        };
        for (const auto &[name, move, offered] : moves) {
            QTest::addRow("%s, article", name) << move << true << offered;
            QTest::addRow("%s, plain page", name) << move << false << offered;
        }
    }

    void backAfterTheFirstPageMovesItself()
    {
        QFETCH(QByteArray, move);
        QFETCH(bool, isArticle);
        QFETCH(bool, offered);
        serve(QStringLiteral("next.html"), nextPage());
        const QByteArray script = "<script>addEventListener('load', () => setTimeout(() => { " + move + " }, 300));</script>";
        const QByteArray first = isArticle ? article().replace("</body>", script + "</body>")
                                           : "<!DOCTYPE html><title>Mover</title><p>A page that moves.</p>" + script;
        const QUrl address(serve(QStringLiteral("mover.html"), first));
        QVERIFY(open(WexoOptionType::about, address));
        WEXO_TRY_VERIFY(browser()->page()->history()->count() > 1, 20000);
        // The page's own work is done by then (a loop has moved on again).
        QTest::qWait(700);
        QToolButton *back = barButton("inAppBrowserBack");
        QCOMPARE(back->isEnabled(), offered);
        if (!offered)
            return;
        QSignalSpy moved(browser()->page(), &QWebEnginePage::urlChanged);
        QTest::mouseClick(back, Qt::LeftButton);
        WEXO_TRY_VERIFY(moved.contains(QVariantList {address}), 10000);
    }

    // Between the article and a page, a page that moved on by itself (a
    // script, a meta refresh) is skipped both ways; one the user moved on
    // from (a click in it) is kept.
    void backAndForwardSkipPagesThatMovedOn_data()
    {
        QTest::addColumn<QByteArray>("how"); // %1: the next page, %2: a page of another origin holding `framed`
        QTest::addColumn<QByteArray>("framed"); // %1: the next page
        QTest::addColumn<QString>("gesture"); // where the user acts before the page moves on: nowhere, "page", "frame"
        const QByteArray later = "<script>addEventListener('message', () => setTimeout(() => location.href = '%1', 800));</script>";
        const QByteArray tell = "<button style=\"width:100%;height:100vh\" onclick=\"parent.postMessage('go', '*')\">Go</button>";
        const QByteArray top = "<form action=\"%1\" target=\"_top\"><button style=\"width:100%;height:100vh\">Go</button></form>";
        const auto frame = [](const QByteArray &source) {
            return "<iframe " + source + " style=\"position:fixed;left:0;top:0;width:100%;height:100%;border:0\"></iframe>";
        };
        const auto inline_ = [](const QByteArray &body) { return "srcdoc=\"" + QString::fromUtf8(body).toHtmlEscaped().toUtf8() + "\""; };
        QTest::addRow("script") << QByteArray("<script>addEventListener('load', () => setTimeout(() => location.href = '%1', 300));</script>")
                                << QByteArray() << "";
        QTest::addRow("meta refresh") << QByteArray("<meta http-equiv=\"refresh\" content=\"2; url=%1\">") << QByteArray() << "";
        QTest::addRow("a click of the user's") << QByteArray() << QByteArray() << "page";
        QTest::addRow("a click in a frame, then a script") << frame(inline_(tell)) + later << QByteArray() << "frame";
        QTest::addRow("a click in a frame of another origin, then a script") << frame("src=\"%2\"") + later << tell << "frame";
        QTest::addRow("a link to the top in a frame of another origin")
            << frame("src=\"%2\"") << QByteArray("<a href=\"%1\" target=\"_top\" style=\"display:block;height:100vh\">Next</a>") << "frame";
        QTest::addRow("a form to the top in a frame") << frame(inline_(top)) << QByteArray() << "frame";
    }

    void backAndForwardSkipPagesThatMovedOn()
    {
        QFETCH(QByteArray, how);
        QFETCH(QByteArray, framed);
        QFETCH(QString, gesture);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        const QString moving = QStringLiteral("http://localhost:%1/pages/moving").arg(other->port());
        const QString next = QStringLiteral("http://localhost:%1/pages/next").arg(other->port());
        const QString framedPage = serve(QStringLiteral("framed.html"), framed.replace("%1", next.toUtf8()));
        serveOn(*other, QStringLiteral("moving"),
                "<!DOCTYPE html><title>Moving</title><p>On the way.</p>" + how.replace("%1", next.toUtf8()).replace("%2", framedPage.toUtf8()));
        serveOn(*other, QStringLiteral("next"), nextPage());
        QVERIFY(openArticleInReader());
        QVERIFY(clickLinkTo(moving));
        if (!gesture.isEmpty()) {
            WEXO_TRY_COMPARE(barTip("inAppBrowserTitle"), QStringLiteral("Moving"), 20000);
            WEXO_TRY_COMPARE(browser()->face(), WInAppBrowser::Face::page, 20000);
        }
        if (gesture == QLatin1String("page"))
            QVERIFY(clickLinkTo(next));
        // A click in the frame that fills the page, again until the page moves
        // on (the first clicks on a page just shown may come before it takes them).
        QWidget *surface = browser()->webView()->focusProxy();
        for (int click = 0; gesture == QLatin1String("frame") && browser()->pageUrl() == QUrl(moving) && click < 10; ++click) {
            QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
            spinUntil([&] { return browser()->pageUrl() != QUrl(moving); }, 1500);
        }
        WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
        QCOMPARE(browser()->page()->history()->count(), 3);
        QVERIFY(settledAfter([&] { clickBar("inAppBrowserBack"); }));
        if (!gesture.isEmpty()) {
            QCOMPARE(browser()->pageUrl(), QUrl(moving));
            return;
        }
        QCOMPARE(articleInReaderFace(), QString());
        QVERIFY(!barButton("inAppBrowserBack")->isEnabled());
        QVERIFY(barButton("inAppBrowserForward")->isEnabled());
        QVERIFY(settledAfter([&] { clickBar("inAppBrowserForward"); }));
        WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
        QCOMPARE(browser()->pageUrl(), QUrl(next));
        // The page that moved on was never shown again.
        QCOMPARE(other->requests(QStringLiteral("/pages/moving")).size(), 1);
    }

    // A link from the reader face that fails shows the message; Back returns
    // to the article in its reader face.
    void backFromAFailedLink_data()
    {
        QTest::addColumn<QString>("target"); // %1: the other host's port
        QTest::addColumn<int>("status");
        QTest::addRow("host not found") << "http://nowhere.test/pages/next" << 200;
        QTest::addRow("refused port") << "http://127.0.0.1:9/pages/next" << 200;
        QTest::addRow("500") << "http://localhost:%1/pages/next" << 500;
        QTest::addRow("404") << "http://localhost:%1/pages/next" << 404;
    }

    void backFromAFailedLink()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer failing;
        failing.status = status;
        failing.contentType = "text/html; charset=utf-8";
        failing.body = "<!DOCTYPE html><title>Failed</title><p>Something went wrong.</p>";
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/next"), failing);
        QVERIFY(openArticleInReader());
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        QVERIFY(clickLinkTo(target.contains(QLatin1String("%1")) ? target.arg(other->port()) : target));
        QVERIFY(shown.wait(20000) || !shown.isEmpty());
        QCOMPARE(browser()->face(), WInAppBrowser::Face::message);
        QVERIFY(barButton("inAppBrowserBack")->isEnabled());
        QVERIFY(settledAfter([&] { clickBar("inAppBrowserBack"); }));
        QCOMPARE(articleInReaderFace(), QString());
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {page(QStringLiteral("about.html"))});
    }

    // Back and Forward pressed at once from the page a reader link led to:
    // whichever document the page view ends on, the bar, the face and "Open
    // in browser" name it. A page that asks before being left is left.
    void backAndForwardAtOnce_data()
    {
        QTest::addColumn<bool>("asksBeforeLeaving");
        QTest::addRow("plain page") << false;
        QTest::addRow("page that asks before being left") << true;
    }

    void backAndForwardAtOnce()
    {
        QFETCH(bool, asksBeforeLeaving);
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        QByteArray next = nextPage();
        if (asksBeforeLeaving)
            next += "<script>addEventListener('beforeunload', event => { event.preventDefault(); event.returnValue = 'stay'; });</script>";
        serveOn(*other, QStringLiteral("next"), next);
        const QString target = QStringLiteral("http://localhost:%1/pages/next").arg(other->port());
        DialogWatch dialogs;
        QVERIFY(openArticleInReader());
        QVERIFY(clickLinkTo(target));
        WEXO_TRY_COMPARE(nextPageInPageFace(), QString(), 20000);
        // A page asks only once the user has acted on it.
        QVERIFY(pageTakesClicks());
        QToolButton *forward = barButton("inAppBrowserForward");
        clickBar("inAppBrowserBack");
        QVERIFY(QTest::qWaitFor([forward] { return forward->isEnabled(); }, 20000));
        clickBar("inAppBrowserForward");

        const QUrl article(page(QStringLiteral("about.html")));
        const auto mismatch = [&]() -> QString {
            const QUrl held = browser()->page()->url();
            const QString what = held == article ? articleInReaderFace() : held == QUrl(target) ? nextPageInPageFace()
                                                                                                : held.toString();
            if (!what.isEmpty())
                return what;
            m_sink.urls.clear();
            clickBar("inAppBrowserOpenExternal");
            return m_sink.urls == QStringList {held.toString()} ? QString() : QStringLiteral("handed on ") + m_sink.urls.join(u' ');
        };
        WEXO_TRY_COMPARE(mismatch(), QString(), 20000);
        // Once the loads have ended it stays so.
        WEXO_TRY_VERIFY(!browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserProgress"))->isVisible(), 20000);
        QTest::qWait(500);
        QCOMPARE(mismatch(), QString());
        QCOMPARE(dialogs.shown, 0);
    }

    // The article with a paragraph of its own that holds extra markup.
    static QByteArray articleWith(const QByteArray &markup)
    {
        return article().replace("<h2 id=\"stores\">", "<p>" + markup + "</p>\n<h2 id=\"stores\">");
    }

    // Where the page's <base> stands, a relative link or image goes to the
    // same address from the reader face as from the page, and the reader's
    // document keeps no <base> of the page's.
    void readerLinksGoWhereThePagesDo_data()
    {
        QTest::addColumn<bool>("inBody");
        QTest::addRow("base in the head") << false;
        QTest::addRow("base in the body") << true;
    }

    void readerLinksGoWhereThePagesDo()
    {
        QFETCH(bool, inBody);
        const QByteArray base = "<base href=\"http://b.test/based/\">";
        QByteArray body = articleWith("Our <a id=\"before\" href=\"before-base.html\">first shop</a> and "
                                      + (inBody ? base : QByteArray()) + "our <a id=\"after\" href=\"after-base.html\">second shop</a>, "
                                      "<a id=\"part\" href=\"#stores\">where to find us</a>"
                                      "<img id=\"picture\" src=\"shop.png\" alt=\"\">.");
        if (!inBody)
            body.replace("<title>", base + "<title>");
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("based.html"), body)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(articleInReaderFace(), QString());
        const QString addresses = QStringLiteral("['before', 'after', 'part', 'picture'].map(id => document.getElementById(id))"
                                                 ".map(e => e ? (e.href || e.src) : 'missing').join(' ')");
        const QString inPage = evaluateIn(browser()->page(), addresses).toString();
        QVERIFY2(inPage.startsWith(QLatin1String("http://b.test/based/before-base.html")), qPrintable(inPage));
        QCOMPARE(evaluate(addresses).toString(), inPage);
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('base').length")).toInt(), 0);
    }

    // A link of the article to an empty page (which the engine loads without
    // asking) is refused as every address that is not a web address is: the
    // article stays as it was.
    void readerLinksToEmptyPagesAreRefused_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("target");
        QTest::addRow("about:blank") << "about:blank" << "";
        QTest::addRow("about:blank with a part") << "about:blank#x" << "";
        QTest::addRow("about:srcdoc") << "about:srcdoc" << "";
        QTest::addRow("about:blank in the same frame") << "about:blank" << "_self";
    }

    void readerLinksToEmptyPagesAreRefused()
    {
        QFETCH(QString, href);
        QFETCH(QString, target);
        const QByteArray link = QStringLiteral("<a id=\"odd\" href=\"%1\" target=\"%2\">an odd link with a long text to click on</a>")
                                    .arg(href, target)
                                    .toUtf8();
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("odd.html"), articleWith("Here is " + link + "."))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(articleInReaderFace(), QString());
        QVERIFY(pageTakesClicks());
        const QVariantList box = evaluate(QStringLiteral("var odd = document.getElementById('odd') || [...document.querySelectorAll('a')]"
                                                         ".find(a => a.textContent.startsWith('an odd link'));"
                                                         "odd.scrollIntoView(); var r = odd.getClientRects()[0]; [r.x, r.y, r.width, r.height]"))
                                     .toList();
        QCOMPARE(box.size(), 4);
        const QRect where(box.value(0).toInt(), box.value(1).toInt(), box.value(2).toInt(), box.value(3).toInt());
        QVERIFY(where.isValid());
        const QString before = evaluate(QStringLiteral("location.href")).toString();
        QTest::mouseClick(QWebEngineView::forPage(shownPage())->focusProxy(), Qt::LeftButton, {}, where.center());
        // A load of the empty page would have ended by now.
        QTest::qWait(1000);
        QCOMPARE(articleInReaderFace(), QString());
        QCOMPARE(evaluate(QStringLiteral("location.href")).toString(), before);
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('p').length > 3")).toBool(), true);
        QVERIFY(!barButton("inAppBrowserBack")->isEnabled());
    }

    // An address naming a part of the article opens its reader face at that
    // part, as the page opens there: directly, or through a redirect to it.
    void readerFaceOpensAtThePartNamed_data()
    {
        QTest::addColumn<bool>("redirected");
        QTest::addColumn<QByteArray>("marked"); // how the page marks the part
        QTest::addColumn<QByteArray>("shape"); // empty: the sample article; else an article of its own
        QTest::addColumn<QString>("part");
        QTest::addRow("address of the part") << false << QByteArray("<h2 id=\"stores\">") << QByteArray() << "stores";
        QTest::addRow("redirected to the part") << true << QByteArray("<h2 id=\"stores\">") << QByteArray() << "stores";
        QTest::addRow("a section") << false << QByteArray("<section id=\"stores\"><h2>") << QByteArray() << "stores";
        QTest::addRow("an anchor in the heading") << false << QByteArray("<h2><a id=\"stores\"></a>") << QByteArray() << "stores";
        QTest::addRow("a named anchor") << false << QByteArray("<a name=\"stores\"></a><h2>") << QByteArray() << "stores";
        // Pictures of no set size above it, that come late: the part moves down as they come.
        QTest::addRow("pictures above it come late")
            << false << QByteArray("<p><img src=\"/pages/late.png\" alt=\"\"> <img src=\"/pages/late.png?2\" alt=\"\"></p><h2 id=\"stores\">")
            << QByteArray() << "stores";
        // Parts several screens down, with links above them.
        const QByteArray text = "Each of our stores keeps the whole range on its shelves, and the staff there know it well. ";
        const QByteArray paragraphs = ("<p>" + text + "</p>\n").repeated(3);
        const QByteArray linked = paragraphs + QByteArray("<p>" + text + "See <a href=\"/pages/about.html\">about us</a> again.</p>\n").repeated(30)
            + paragraphs + "<h3 id=\"sec\">Section</h3>\n" + ("<p>" + text.repeated(8) + "</p>\n").repeated(3);
        QByteArray numbered;
        for (int number = 1; number <= 24; ++number)
            numbered += "<p id=\"p" + QByteArray::number(number) + "\">" + text + "<a href=\"/pages/about.html\">More</a>.</p>\n";
        QTest::addRow("linked paragraphs above it") << false << QByteArray() << linked << "sec";
        QTest::addRow("linked paragraphs above it, redirected") << true << QByteArray() << linked << "sec";
        QTest::addRow("numbered paragraphs") << false << QByteArray() << numbered << "p8";
        QTest::addRow("numbered paragraphs, redirected") << true << QByteArray() << numbered << "p8";
    }

    void readerFaceOpensAtThePartNamed()
    {
        QFETCH(bool, redirected);
        QFETCH(QByteArray, marked);
        QFETCH(QByteArray, shape);
        QFETCH(QString, part);
        // Long enough after the part for it to reach the top.
        QByteArray longer = article();
        if (shape.isEmpty()) {
            longer.replace("<h2 id=\"stores\">", marked);
            if (marked.startsWith("<section"))
                longer.replace("</article>", "</section></article>");
            longer.replace("</article>", QByteArray("<p>Opening hours are on the door of each shop.</p>\n").repeated(60) + "</article>");
        } else {
            longer = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Our stores</title></head><body><article>"
                     "<h1>Our stores</h1>\n" + shape + "</article><footer style=\"height: 3000px\">Sample Shop</footer></body></html>";
        }
        const QString address = serve(QStringLiteral("long-about.html"), longer) + QStringLiteral("#") + part;
        WexoSample::ScriptedAnswer redirect;
        redirect.status = 302;
        redirect.contentType = "text/html";
        redirect.headers = {{"Location", address.toUtf8()}};
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/to-stores"), redirect);
        WexoSample::ScriptedAnswer late;
        late.delayMs = 700;
        late.contentType = "image/png";
        late.body = picture(QSize(300, 400));
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/late.png"), late);
        QVERIFY(open(WexoOptionType::about, redirected ? page(QStringLiteral("to-stores")) : address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(articleInReaderFace(shape.isEmpty() ? QStringLiteral("About Sample Shop") : QStringLiteral("Our stores")), QString());
        // The part's heading at the top of the face, as in the page.
        const QString where = QStringLiteral("Math.round((document.getElementById('%1') || document.getElementsByName('%1')[0]"
                                             " || [...document.querySelectorAll('h2')].find(h => h.textContent.includes('Visit us'))).getBoundingClientRect().top)")
                                  .arg(part);
        QVERIFY2(qAbs(evaluateIn(browser()->page(), where).toInt()) <= 1, qPrintable(evaluateIn(browser()->page(), where).toString()));
        QVERIFY2(qAbs(evaluate(where).toInt()) <= 1, qPrintable(evaluate(where).toString()));
        QVERIFY(evaluate(QStringLiteral("scrollY")).toInt() > 0);
        // It stays there as the pictures above it come.
        QVERIFY(spinUntil([this] { return evaluate(QStringLiteral("[...document.images].every(image => image.complete)")).toBool(); }));
        QVERIFY2(qAbs(evaluate(where).toInt()) <= 1, qPrintable(evaluate(where).toString()));
    }

    // The engine names an untitled document by its address, the host decoded
    // by its own rules: an untitled article's title line shows its host as
    // the host line does.
    void untitledArticle_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("shown");
        QTest::addRow("plain host") << "127.0.0.1" << "127.0.0.1";
        QTest::addRow("international host") << QStringLiteral("\u043f\u043e\u0434\u0434\u0435\u0440\u0436\u043a\u0430.a.test")
                                            << QString::fromLatin1(QUrl::toAce(QStringLiteral("\u043f\u043e\u0434\u0434\u0435\u0440\u0436\u043a\u0430.a.test")));
    }

    void untitledArticle()
    {
        QFETCH(QString, host);
        QFETCH(QString, shown);
        // No title, and no single heading the reader library would take for one.
        serve(QStringLiteral("untitled.html"), article()
                                                   .replace("<title>About Sample Shop</title>", "")
                                                   .replace("<h1 id=\"title\">About Sample Shop</h1>", "<h2>About Sample Shop</h2>"));
        QVERIFY(open(WexoOptionType::about, QStringLiteral("http://%1:%2/pages/untitled.html").arg(host).arg(m_backend->backend().port())));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::reader);
        // A round trip through the page: a late title has arrived by then.
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(barText("inAppBrowserHost"), shown);
        QCOMPARE(barTip("inAppBrowserTitle"), shown);
    }
};

int main(int argc, char **argv)
{
    return runInAppPageTests(argc, argv, [] { return std::unique_ptr<QObject>(new tst_InAppReader); });
}

#else

#include <QTest>

class tst_InAppReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtWithoutWebView() { QSKIP("built without Qt WebEngine (WEXO_WEB_VIEW off)"); }
};

QTEST_MAIN(tst_InAppReader)

#endif

#include "tst_inappreader.moc"
