#ifdef WEXO_WEB_VIEW

#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WLogging.h"

#include <QAction>
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

private Q_SLOTS:
    void initTestCase() { QVERIFY(startHost()); }

    void init() { m_sink.urls.clear(); }

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
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
        QVERIFY(open(WexoOptionType::about, page(name)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(checked.constFirst().constFirst().toBool(), readable);
        QCOMPARE(browser()->face(), readable ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page);
        QTRY_COMPARE(browser()->page()->title(), title);
        const bool scripts = browser()->page()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled);
        QCOMPARE(scripts, !readable);
        if (!readable)
            return;
        // The article alone: the page's navigation is gone.
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav').length")).toInt(), 0);
        QCOMPARE(evaluate(QStringLiteral("document.querySelector('h1').textContent")).toString(), title);
        // Back to the page: scripts on, the page itself, not examined again.
        browser()->showReader(false);
        QVERIFY(checked.wait(20000));
        QCOMPARE(checked.constLast().constFirst().toBool(), false);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QVERIFY(browser()->page()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav a').length")).toInt(), 3);
        // The reader face's history entry is nothing Back could go to.
        QVERIFY(!browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserBack"))->isEnabled());
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
        const auto document = WInAppBrowser::readerDocument(QStringLiteral("<b>T</b>"), QStringLiteral("by <i>me</i>"),
                                                            QString(contentBytes, u'x'));
        QCOMPARE(document.has_value(), fits);
        if (document) {
            QVERIFY(document->contains(QStringLiteral("&lt;b&gt;T&lt;/b&gt;")));
            QVERIFY(document->contains(QStringLiteral("script-src 'none'")));
        }
    }

    // The reader face shows a page's article under the page's address: it goes
    // nowhere by itself, and whatever it comes to show, the bar names.
    void readerFaceGoesNowhereByItself_data()
    {
        QTest::addColumn<QString>("refreshTo");
        QTest::addColumn<bool>("staysOnTheArticle");
        QTest::addRow("refresh to another host") << "http://localhost:%1/pages/sign-in.html" << true;
        QTest::addRow("refresh to an empty page") << "about:blank" << false;
    }

    void readerFaceGoesNowhereByItself()
    {
        QFETCH(QString, refreshTo);
        QFETCH(bool, staysOnTheArticle);
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
        const QString target = refreshTo.arg(m_backend->backend().port());
        // The refresh sits in the article; an image that never arrives keeps the
        // page itself from following it (a refresh waits for the page's load).
        QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/pages/about.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray article = file.readAll();
        article.replace("<p class=\"byline\">", "<meta http-equiv=\"refresh\" content=\"0; url=" + target.toUtf8() + "\"><p class=\"byline\">");
        article.replace("<aside>", "<aside><img src=\"never.png\">");
        WexoSample::ScriptedAnswer never;
        never.hang = true;
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/never.png"), never);
        const QString address = serve(QStringLiteral("refreshing.html"), article);
        QVERIFY(open(WexoOptionType::about, address));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.readyState")).toString(), QStringLiteral("interactive"), 20000);
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        EndedLoads ended(browser()->page());
        clickBar("inAppBrowserReader");
        QVERIFY(checked.wait(20000));
        // Until the refresh has been tried, refused or not.
        QTRY_VERIFY_WITH_TIMEOUT(ended.urls.contains(QUrl(target)), 20000);
        QTRY_COMPARE(browser()->face(), staysOnTheArticle ? WInAppBrowser::Face::reader : WInAppBrowser::Face::message);
        QCOMPARE(browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserReader"))->isChecked(), staysOnTheArticle);
        const QUrl shown = staysOnTheArticle ? QUrl(evaluate(QStringLiteral("document.baseURI")).toString()) : QUrl(target);
        QCOMPARE(barText("inAppBrowserHost"), shown.host());
        const auto requests = m_backend->backend().requests(QStringLiteral("/pages/sign-in.html"));
        QVERIFY(std::none_of(requests.cbegin(), requests.cend(), [](const WexoSample::RecordedRequest &request) {
            return request.headers.value(QStringLiteral("host")).startsWith(QLatin1String("localhost"));
        }));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, staysOnTheArticle ? QStringList {address} : QStringList());
    }

    // Article pages move their own address as they load (history API): that
    // is the same document, so the reader face going up stays up and the bar
    // keeps naming the page.
    void readerFaceOutlastsAddressChanges_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addRow("pushState every 20 ms") << "setInterval(function () { history.pushState(null, '', '?step=' + ++n); }, 20);";
        QTest::addRow("pushState every 5 ms") << "setInterval(function () { history.pushState(null, '', '?step=' + ++n); }, 5);";
        QTest::addRow("replaceState every 20 ms") << "setInterval(function () { history.replaceState(null, '', '?step=' + ++n); }, 20);";
    }

    void readerFaceOutlastsAddressChanges()
    {
        QFETCH(QString, script);
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
        QByteArray moving = article();
        moving.replace("</body>", "<script>var n = 0; " + script.toUtf8() + "</script></body>");
        const QString address = serve(QStringLiteral("moving.html"), moving);
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        QTRY_VERIFY_WITH_TIMEOUT(!checked.isEmpty() || !shown.isEmpty(), 20000);
        // A round trip through the page: any late address change has arrived by then.
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(browser()->messageText(), QString());
        QCOMPARE(articleInReaderFace(), QString());
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls.size(), 1);
        QCOMPARE(QUrl(m_sink.urls.constFirst()).adjusted(QUrl::RemoveQuery).toString(), address);
    }

    // A link clicked in the reader face leaves it for the document it brings;
    // one that brings none (a download, no content, a host that never
    // answers) leaves the article as it was: face, bar and "Open in browser"
    // change only with the document shown.
    void readerLinkChangesTheFaceOnlyWithADocument_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("leaves");
        QTest::addRow("link is a download") << "download" << false;
        QTest::addRow("link answers no content") << "no content" << false;
        QTest::addRow("link's host does not answer") << "silence" << false;
        QTest::addRow("link to a page elsewhere") << "page" << true;
        QTest::addRow("link to the article's own address") << "article" << true;
        QTest::addRow("link to a part of the article") << "part" << false;
    }

    void readerLinkChangesTheFaceOnlyWithADocument()
    {
        QFETCH(QString, end);
        QFETCH(bool, leaves);
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
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
            QTRY_VERIFY_WITH_TIMEOUT(!other.requests(QStringLiteral("/pages/next")).isEmpty(), 20000);
        else if (end == QLatin1String("part"))
            QTRY_COMPARE(evaluate(QStringLiteral("location.hash")).toString(), QStringLiteral("#stores"));
        else
            QTRY_VERIFY_WITH_TIMEOUT(ended.urls.contains(QUrl(target)), 20000);
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(browser()->face(), leaves ? WInAppBrowser::Face::page : WInAppBrowser::Face::reader);
        QCOMPARE(readerChecked(), !leaves);
        clickBar("inAppBrowserOpenExternal");
        if (leaves) {
            // The page itself, its scripts run from its start.
            QVERIFY(scriptsOn());
            if (end == QLatin1String("page"))
                QCOMPARE(evaluate(QStringLiteral("document.documentElement.dataset.ran")).toString(), QStringLiteral("yes"));
            else
                QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav a').length")).toInt(), 3);
            QCOMPARE(barText("inAppBrowserHost"), QUrl(target).host());
            QCOMPARE(m_sink.urls, QStringList {target});
            return;
        }
        // Until another document comes, scripts stay off.
        if (!answer.hang)
            QVERIFY(!scriptsOn());
        QCOMPARE(evaluate(QStringLiteral("document.querySelector('h1').textContent")).toString(), QStringLiteral("About Sample Shop"));
        QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
        QCOMPARE(barText("inAppBrowserHost"), QStringLiteral("127.0.0.1"));
        QCOMPARE(m_sink.urls, QStringList {address});
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
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
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
        QTRY_VERIFY_WITH_TIMEOUT(!other->requests(QStringLiteral("/pages/next")).isEmpty(), 20000);
        QVERIFY(clickLinkTo(address + QStringLiteral("#stores")));
        QTRY_COMPARE(evaluate(QStringLiteral("location.hash")).toString(), QStringLiteral("#stores"));
        evaluate(QStringLiteral("document.readyState"));
        QVERIFY2(!ended.urls.contains(QUrl(target)), "the link ended before the part of the article was shown");
        QCOMPARE(browser()->face(), WInAppBrowser::Face::reader);
        QVERIFY(readerChecked());
        QVERIFY(browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserBack"))->isEnabled());
        QCOMPARE(barText("inAppBrowserHost"), QStringLiteral("127.0.0.1"));

        QTRY_VERIFY_WITH_TIMEOUT(ended.urls.contains(QUrl(target)), 20000);
        evaluate(QStringLiteral("document.readyState"));
        if (bringsAPage) {
            QCOMPARE(nextPageInPageFace(), QString());
            // Back is the article, in its reader face.
            QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
            clickBar("inAppBrowserBack");
            QVERIFY(checked.wait(20000));
            QCOMPARE(checked.constLast().constFirst().toBool(), true);
            QCOMPARE(articleInReaderFace(), QString());
            return;
        }
        QCOMPARE(articleInReaderFace(), QString());
        // Reload from the reader face is the page it was made from.
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        clickBar("inAppBrowserReload");
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('nav a').length")).toInt(), 3);
    }

    // Back from the page a link in the reader face led to returns to the
    // article in its reader face, as a browser's reader mode does; Forward
    // from there returns to that page.
    void backReturnsToTheReaderFace()
    {
        if (!WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
        const std::unique_ptr<WexoSample::SampleBackend> other = otherHost();
        QVERIFY(other);
        WexoSample::ScriptedAnswer next;
        next.contentType = "text/html; charset=utf-8";
        next.body = nextPage();
        other->script(QStringLiteral("GET"), QStringLiteral("/pages/next"), next);
        const QString address = page(QStringLiteral("about.html"));
        const QString target = QStringLiteral("http://localhost:%1/pages/next").arg(other->port());
        QVERIFY(openArticleInReader());
        auto *back = browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserBack"));
        auto *forward = browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserForward"));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(clickLinkTo(target));
        for (int round = 0; round < 2; ++round) {
            QTRY_VERIFY_WITH_TIMEOUT(browser()->face() == WInAppBrowser::Face::page && barTip("inAppBrowserTitle") == QLatin1String("Next"), 20000);
            QCOMPARE(nextPageInPageFace(), QString());
            QVERIFY(back->isEnabled());

            checked.clear();
            QTest::mouseClick(back, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!checked.isEmpty(), 20000);
            QCOMPARE(checked.constLast().constFirst().toBool(), true);
            QCOMPARE(articleInReaderFace(), QString());
            QCOMPARE(barTip("inAppBrowserTitle"), QStringLiteral("About Sample Shop"));
            m_sink.urls.clear();
            clickBar("inAppBrowserOpenExternal");
            QCOMPARE(m_sink.urls, QStringList {address});
            QTRY_VERIFY(forward->isEnabled());
            QTest::mouseClick(forward, Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(browser()->face() == WInAppBrowser::Face::page && barTip("inAppBrowserTitle") == QLatin1String("Next"), 20000);
        QCOMPARE(nextPageInPageFace(), QString());
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
