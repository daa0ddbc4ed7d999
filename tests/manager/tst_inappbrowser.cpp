#ifdef WEXO_WEB_VIEW

#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WInAppBrowserMessage.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
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

// The in-app page end to end: its bar, its refusals, its messages and its keys.
class tst_InAppBrowser : public InAppPageFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(startHost()); }

    void init() { m_sink.urls.clear(); }

    void cleanup() { QVERIFY(closePage()); }

    void cleanupTestCase()
    {
        for (const char *scheme : {"http", "https", "hostapp"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        // Left open: the application's end releases page and profile before
        // Qt WebEngine shuts down (a crash or hang there fails this program).
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
    }

    // The first page in a window makes Qt build the window again (for the
    // page's GL surface); the host stays the active window, so keys reach the
    // page without a click first. Must run first: later pages keep the window.
    void firstPageKeepsTheHostActive()
    {
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        QVERIFY(open(WexoOptionType::about));
        WEXO_TRY_COMPARE(browser()->view()->geometry(), launcher()->window()->rect(), 5000);
        WEXO_TRY_VERIFY(!launcher()->isTransitioning(), 5000);
        WEXO_TRY_VERIFY(QApplication::activeWindow() == m_host.get(), 5000);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus && browser()->view()->isAncestorOf(focus));
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(closed());
    }

    void aboutCoversTheHostUntilDone()
    {
        QVERIFY(open(WexoOptionType::about));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        // Over the whole host window once it has slid in, the console slot empty,
        // the host getting nothing.
        WEXO_TRY_COMPARE(browser()->view()->geometry(), launcher()->window()->rect(), 5000);
        QVERIFY(browser()->view()->isVisible());
        QVERIFY(!launcher()->window()->wConsoleButton());
        WEXO_TRY_VERIFY(launcher()->window()->holdsEveryTouch(), 5000);
        QVERIFY(checked.wait(20000) || !checked.isEmpty());
        QCOMPARE(browser()->pageUrl().toString(), page(QStringLiteral("about.html")));
        QCOMPARE(evaluate(QStringLiteral("document.body.innerText.includes('single market stall')")).toBool(), true);
        auto *host = browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserHost"));
        QCOMPARE(host->text(), QStringLiteral("127.0.0.1"));

        QSignalSpy hostClicked(m_hostButton, &QPushButton::clicked);
        QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, m_hostButton->mapTo(m_host.get(), QPoint(5, 5)));
        QCOMPARE(hostClicked.count(), 0);

        QTest::mouseClick(browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserDone")), Qt::LeftButton);
        QVERIFY(closed());
        QCOMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
        QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, m_hostButton->mapTo(m_host.get(), QPoint(5, 5)));
        QCOMPARE(hostClicked.count(), 1);
        QVERIFY(m_sink.urls.isEmpty());
    }

    void escapeClosesFromThePage()
    {
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        // Typing goes to the page's field, not to the host's.
        QCOMPARE(evaluate(QStringLiteral("document.getElementById('email').focus(); document.activeElement.id")).toString(),
                 QStringLiteral("email"));
        WEXO_TRY_VERIFY(browser()->webView()->focusProxy()->hasFocus(), 5000);
        QTest::keyClicks(browser()->webView()->focusProxy(), QStringLiteral("ab"));
        WEXO_TRY_COMPARE(evaluate(QStringLiteral("document.getElementById('email').value")).toString(), QStringLiteral("ab"), 5000);
        QCOMPARE(m_hostField->text(), QString());
        QTest::keyClick(browser()->webView()->focusProxy(), Qt::Key_Escape);
        QVERIFY(closed());
    }

    // Hosts bind Escape and other keys to their own actions (a designer tool
    // binds Escape to a mode switch): none of them fires under the page, and
    // Escape still closes it.
    void hostShortcutsStayUnder_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape closes the page") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
        QTest::newRow("Ctrl+N stays with the page") << int(Qt::Key_N) << int(Qt::ControlModifier) << false;
        QTest::newRow("Shift+Escape stays with the page") << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << false;
    }

    void hostShortcutsStayUnder()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        const QKeySequence sequence(key | modifiers);
        auto action = std::make_unique<QAction>(QStringLiteral("Host's own"));
        action->setShortcut(sequence);
        m_host->addAction(action.get());
        QSignalSpy fired(action.get(), &QAction::triggered);
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        WEXO_TRY_VERIFY(browser()->webView()->focusProxy()->hasFocus(), 5000);

        QTest::keyClick(browser()->webView()->focusProxy(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (closes)
            QVERIFY(closed());
        QCOMPARE(fired.count(), 0);
        QCOMPARE(browser() != nullptr, !closes);
        if (browser()) {
            browser()->close();
            QVERIFY(closed());
        }
        // Without the page the host's shortcut is its own again.
        QTest::keyClick(m_host.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fired.count(), 1);
    }

    void barFollowsThePage()
    {
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QWidget *root = browser()->view();
        auto *title = root->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle"));
        auto *back = root->findChild<QToolButton *>(QStringLiteral("inAppBrowserBack"));
        auto *forward = root->findChild<QToolButton *>(QStringLiteral("inAppBrowserForward"));
        WEXO_TRY_COMPARE(title->toolTip(), QStringLiteral("Sign in to Sample Shop"), 5000);
        QVERIFY(title->text().startsWith(QStringLiteral("Sign in")));
        QVERIFY(!back->isEnabled());
        QVERIFY(!forward->isEnabled());

        const QString second = page(QStringLiteral("sign-in.html?again"));
        // Followed by a click: a page's own unprompted navigations are skipped by Back.
        QVERIFY(clickLinkTo(second));
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->pageUrl().toString(), second);
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->pageUrl().toString(), page(QStringLiteral("sign-in.html")));
        WEXO_TRY_VERIFY(forward->isEnabled(), 5000);
        QTest::mouseClick(forward, Qt::LeftButton);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->pageUrl().toString(), second);
        // Reload loads the same address again; "Open in browser" hands it on.
        QTest::mouseClick(root->findChild<QToolButton *>(QStringLiteral("inAppBrowserReload")), Qt::LeftButton);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->pageUrl().toString(), second);
        QTest::mouseClick(root->findChild<QToolButton *>(QStringLiteral("inAppBrowserOpenExternal")), Qt::LeftButton);
        QCOMPARE(m_sink.urls, QStringList {second});
    }

    void failuresShowAMessage_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("host"); // where nothing listens
        QTest::addColumn<QString>("named"); // how the message names that host
        QTest::addRow("nothing listens") << false << "could not be loaded" << "127.0.0.1" << "127.0.0.1";
        QTest::addRow("untrusted certificate") << true << "certificate" << "" << "";
        // A lookalike reads as the name it imitates once decoded.
        QTest::addRow("nothing listens at a lookalike host")
            << false << "could not be loaded" << QStringLiteral("\u0430\u0440\u0440\u04cf\u0435.com") << "xn--80ak6aa92e.com";
    }

    void failuresShowAMessage()
    {
        QFETCH(bool, tls);
        QFETCH(QString, says);
        QFETCH(QString, host);
        QFETCH(QString, named);
        QTemporaryDir dir;
        std::unique_ptr<WexoSample::SampleBackend> secure;
        QString url = QStringLiteral("http://%1:9/pages/about.html").arg(host);
        if (tls) {
            secure = makeUntrustedBackend(dir);
            if (!secure)
                QSKIP("the openssl command is not available");
            QVERIFY2(secure->start(0), qPrintable(secure->errorString()));
            url = secure->rootUrl() + QStringLiteral("pages/about.html");
        }
        QVERIFY(open(WexoOptionType::about, url));
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        QVERIFY(shown.wait(20000) || !shown.isEmpty());
        QCOMPARE(browser()->face(), WInAppBrowser::Face::message);
        QVERIFY2(browser()->messageText().contains(says), qPrintable(browser()->messageText()));
        QVERIFY(browser()->messageText().contains(tls ? QUrl(url).toDisplayString() : QStringLiteral("http://%1:9/pages/about.html").arg(named)));
        auto *message = browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserMessage"));
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QVERIFY(message->isVisible());
        // The keys stay inside: Escape from where the focus is closes it.
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus && browser()->view()->isAncestorOf(focus));
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(closed());
        QVERIFY(open(WexoOptionType::about, url));
        WEXO_TRY_VERIFY(!browser()->messageText().isEmpty(), 20000);
        // "Open in browser" hands the address on.
        QTest::mouseClick(browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserMessageOpen")), Qt::LeftButton);
        QCOMPARE(m_sink.urls, QStringList {url});
    }

    // A page or proxy that asks for a sign-in is answered at once with none:
    // no credentials are sent and nothing is asked again. The message names
    // the address, which "Open in browser" hands on (the user signs in there).
    void signInChallengesAreCancelled_data()
    {
        QTest::addColumn<QByteArray>("challenge"); // empty: the proxy asks
        QTest::addColumn<QByteArray>("body"); // the challenged answer's own page (%1: its address)
        const QByteArray plain = "<!DOCTYPE html><title>Private</title><p>Sign in first.</p>";
        const QByteArray basic = "Basic realm=\"shop\"";
        QTest::addRow("Basic") << basic << plain;
        QTest::addRow("Digest") << QByteArray("Digest realm=\"shop\", nonce=\"5ccc069c403ebaf9f0171e9517f40e41\", qop=\"auth\"") << plain;
        QTest::addRow("proxy") << QByteArray() << plain;
        // The answer's page never runs behind the message: no refresh, no script, nothing it loads.
        QTest::addRow("page that refreshes to another") << basic << QByteArray("<meta http-equiv=\"refresh\" content=\"0; url=/pages/about.html\">") + plain;
        QTest::addRow("page that refreshes itself") << basic << QByteArray("<meta http-equiv=\"refresh\" content=\"0\">") + plain;
        QTest::addRow("page whose script moves on") << basic << QByteArray("<script>location.href = '/pages/about.html';</script>") + plain;
        QTest::addRow("page whose script asks again") << basic << QByteArray("<script>fetch('%1?again'); fetch('%1?more');</script>") + plain;
        QTest::addRow("page with images") << basic << QByteArray("<img src=\"%1?image\"><img src=\"%1?other\">") + plain;
        QTest::addRow("proxy's page that refreshes itself") << QByteArray() << QByteArray("<meta http-equiv=\"refresh\" content=\"0\">") + plain;
        // A scheme the engine cannot answer: its page is the load's own document.
        const QByteArray negotiate = "Negotiate";
        QTest::addRow("Negotiate") << negotiate << plain;
        QTest::addRow("Negotiate page that refreshes to another") << negotiate << QByteArray("<meta http-equiv=\"refresh\" content=\"0; url=/pages/about.html\">") + plain;
        QTest::addRow("Negotiate page that refreshes itself") << negotiate << QByteArray("<meta http-equiv=\"refresh\" content=\"0\">") + plain;
        QTest::addRow("Negotiate page whose script moves on once loaded")
            << negotiate << QByteArray("<script>addEventListener('load', () => setTimeout(() => location.href = '/pages/about.html', 100));</script>") + plain;
    }

    void signInChallengesAreCancelled()
    {
        QFETCH(QByteArray, challenge);
        QFETCH(QByteArray, body);
        ChallengeProxy &proxy = ChallengeProxy::cleared();
        // A path of each row's own: the backend's log keeps the rows before.
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-').remove(u'\'');
        const QString path = QStringLiteral("/pages/private-%1.html").arg(tag);
        const QString address = challenge.isEmpty() ? QStringLiteral("http://proxied.test") + path : m_backend->rootUrl() + path.mid(1);
        WexoSample::ScriptedAnswer answer;
        answer.status = 401;
        answer.contentType = "text/html; charset=utf-8";
        answer.body = QByteArray(body).replace("%1", address.toUtf8());
        answer.headers = {{"WWW-Authenticate", challenge}};
        m_backend->backend().script(QStringLiteral("GET"), path, answer);
        proxy.body = answer.body;
        const qsizetype before = m_backend->backend().requests().size();
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        QVERIFY(shown.wait(20000) || !shown.isEmpty());
        QCOMPARE(browser()->face(), WInAppBrowser::Face::message);
        // Anything asked again, or a page's refresh, would have come by now.
        spinUntil([] { return false; }, 1500);
        QCOMPARE(browser()->face(), WInAppBrowser::Face::message);
        QStringList asked = proxy.requests;
        QStringList sent = proxy.credentials;
        if (!challenge.isEmpty()) {
            asked.clear();
            for (const WexoSample::RecordedRequest &request : m_backend->backend().requests().mid(before))
                asked << request.path;
            for (const WexoSample::RecordedRequest &request : m_backend->backend().requests(path)) {
                if (request.headers.contains(QStringLiteral("authorization")))
                    sent << request.headers.value(QStringLiteral("authorization"));
            }
        }
        asked = asked.filter(QRegularExpression(QStringLiteral("/pages/(private|about)")));
        QVERIFY2(asked.size() <= 2 && asked.filter(path).size() == asked.size(), qPrintable(asked.join(u' ')));
        QCOMPARE(sent, QStringList());
        QVERIFY2(browser()->messageText().contains(QLatin1String("sign in")), qPrintable(browser()->messageText()));
        QVERIFY(browser()->messageText().endsWith(address));
        QTest::mouseClick(browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserMessageOpen")), Qt::LeftButton);
        QCOMPARE(m_sink.urls, QStringList {address});
    }

    // A link to a page that asks for a sign-in shows the message over the
    // page it came from, and Back returns there; a part of a page that asks
    // fails alone, and the page shows.
    void signInChallengeOfALinkOrAPart_data()
    {
        QTest::addColumn<bool>("part");
        QTest::addColumn<QByteArray>("challenge");
        QTest::addRow("link") << false << QByteArray("Basic realm=\"shop\"");
        QTest::addRow("image") << true << QByteArray("Basic realm=\"shop\"");
        // Its page is held under the message, and Back still leaves it.
        QTest::addRow("Negotiate link") << false << QByteArray("Negotiate");
    }

    void signInChallengeOfALinkOrAPart()
    {
        QFETCH(bool, part);
        QFETCH(QByteArray, challenge);
        WexoSample::ScriptedAnswer answer;
        answer.status = 401;
        answer.contentType = "text/html; charset=utf-8";
        answer.body = "<!DOCTYPE html><title>Private</title><meta http-equiv=\"refresh\" content=\"0\"><p>Sign in first.</p>";
        answer.headers = {{"WWW-Authenticate", challenge}};
        const QString path = QStringLiteral("/pages/private-%1").arg(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
        m_backend->backend().script(QStringLiteral("GET"), path, answer);
        const QString privateAddress = m_backend->rootUrl() + path.mid(1);
        const QString first = serve(QStringLiteral("with-private-%1.html").arg(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-')),
                                    "<!DOCTYPE html><title>Shop</title><p>Our shop</p>"
                                        + (part ? "<img src=\"" + privateAddress.toUtf8() + "\">" : QByteArray()));
        QVERIFY(open(WexoOptionType::about, first));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        if (part) {
            QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
            QCOMPARE(shown.count(), 0);
            return;
        }
        QVERIFY(clickLinkTo(privateAddress));
        QVERIFY(shown.wait(20000));
        QCOMPARE(browser()->messageText(), WInAppBrowserMessage::signInText() + QStringLiteral("\n\n") + privateAddress);
        QVERIFY(barButton("inAppBrowserBack")->isEnabled());
        clickBar("inAppBrowserBack");
        WEXO_TRY_COMPARE(browser()->face(), WInAppBrowser::Face::page, 20000);
        QCOMPARE(browser()->pageUrl(), QUrl(first));
    }

    // A page's part served with a bad certificate is refused by Chromium itself
    // (never fetched); the page stays, and its own address is the one handed on.
    void subResourceCertificateBlocksOnlyItself_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addRow("image") << "<img src=\"%1\">";
        QTest::addRow("frame") << "<iframe src=\"%1\"></iframe>";
    }

    void subResourceCertificateBlocksOnlyItself()
    {
        QFETCH(QString, element);
        QTemporaryDir dir;
        const std::unique_ptr<WexoSample::SampleBackend> secure = makeUntrustedBackend(dir);
        if (!secure)
            QSKIP("the openssl command is not available");
        QVERIFY2(secure->start(0), qPrintable(secure->errorString()));
        const QString address = serve(QStringLiteral("mixed.html"),
                                      "<!DOCTYPE html><title>Stores</title><p>Our stores</p>"
                                          + element.arg(secure->rootUrl() + QStringLiteral("pages/about.html")).toUtf8());
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::page);
        QCOMPARE(browser()->messageText(), QString());
        QVERIFY(secure->requests().isEmpty());
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, QStringList {address});
    }

    // Help pages get none of the user's files, whatever asks for them.
    void fileChoicesRefused()
    {
        QTemporaryDir dir;
        QFile secret(dir.filePath(QStringLiteral("secret.txt")));
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") == 6);
        secret.close();
        FileDialogCatcher dialogs(secret.fileName());
        // An empty choice leaves an input's file as it was; the pickers fail.
        const QString address = serve(QStringLiteral("files.html"), R"(<!DOCTYPE html><body style="margin:0"><style>
            * { position: fixed; left: 0; width: 300px; height: 100px; }</style>
            <input id="f" type="file" style="top:0"><button id="o" style="top:120px">Open</button>
            <button id="d" style="top:240px">Folder</button><script>
            const held = new DataTransfer(); held.items.add(new File(['x'], 'held.txt')); f.files = held.files;
            const say = (key, text) => document.body.dataset[key] = text;
            o.onclick = () => showOpenFilePicker().then(files => say('open', files.length), e => say('open', e.name));
            d.onclick = () => showDirectoryPicker().then(() => say('folder', 'chosen'), e => say('folder', e.name));
            </script></body>)");
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QVERIFY(pageTakesClicks());
        for (int top : {0, 120, 240})
            QTest::mouseClick(browser()->webView()->focusProxy(), Qt::LeftButton, {}, QPoint(50, top + 50));
        // The pickers answer after the input's choice, asked for first, is over.
        const QString answers = QStringLiteral("[document.body.dataset.open, document.body.dataset.folder,"
                                               " ...[...f.files].map(file => file.name)].join(' ')");
        WEXO_TRY_COMPARE(evaluate(answers).toString(), QStringLiteral("AbortError AbortError held.txt"), 20000);
        QCOMPARE(dialogs.opened, 0);
    }

    // A page that leaves nothing to show is replaced by a message, as a failed load is.
    void emptyEndsShowAMessage_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("named");
        QTest::addRow("address is a download") << "download" << "could not be loaded" << "leaflet.bin";
        QTest::addRow("renderer killed") << "kill" << "could not be loaded" << "sign-in.html";
        QTest::addRow("page goes to an empty page") << "about:blank" << "Only web addresses" << "about:blank";
    }

    void emptyEndsShowAMessage()
    {
        QFETCH(QString, end);
        QFETCH(QString, says);
        QFETCH(QString, named);
        const QString download = serve(QStringLiteral("leaflet.bin"), "%PDF-1.4", "application/octet-stream");
        QVERIFY(open(WexoOptionType::about, end == QLatin1String("download") ? download : page(QStringLiteral("sign-in.html"))));
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        if (end != QLatin1String("download")) {
            QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
            QVERIFY(checked.wait(20000));
        }
        if (end == QLatin1String("kill"))
            QCOMPARE(::kill(pid_t(browser()->page()->renderProcessPid()), SIGKILL), 0);
        else if (end == QLatin1String("about:blank"))
            browser()->page()->runJavaScript(QStringLiteral("location.href = 'about:blank'"));
        QVERIFY(shown.wait(20000) || !shown.isEmpty());
        const QUrl address = QUrl(page(QString())).resolved(QUrl(named));
        QCOMPARE(browser()->face(), WInAppBrowser::Face::message);
        QVERIFY2(browser()->messageText().contains(says), qPrintable(browser()->messageText()));
        QVERIFY(browser()->messageText().endsWith(address.toDisplayString()));
        QCOMPARE(barText("inAppBrowserHost"), address.host());
        clickBar("inAppBrowserOpenExternal");
        QCOMPARE(m_sink.urls, WInAppBrowserPage::isWebAddress(address) ? QStringList {address.toString()} : QStringList());
    }

    // Chromium still has work queued for a refused download when the page goes:
    // closing right after one, again and again, must not crash the host. Each
    // close rarely shows it, so it is done many times over.
    void closesAfterRefusedDownloads()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("shows where pages are drawn through GL, on a real X server");
        const QString download = serve(QStringLiteral("leaflet.bin"), "%PDF-1.4", "application/octet-stream");
        for (int round = 0; round < 100; ++round) {
            QVERIFY(open(WexoOptionType::about, download));
            WEXO_TRY_COMPARE(browser()->face(), WInAppBrowser::Face::message, 20000);
            browser()->close();
            QVERIFY(closed());
            // Gone before the next page comes, as between two test functions.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // The host line is where the user reads where the page is: a name that
    // could pass for another shows in its encoded (xn--) form. These names
    // reach the sample backend (see main).
    void hostLineShowsLookalikesEncoded_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<QString>("shown");
        QTest::addRow("Cyrillic letters that look Latin") << QStringLiteral("\u0430\u0440\u0440\u04cf\u0435.com") << true << "xn--80ak6aa92e.com";
        QTest::addRow("one Cyrillic letter among Latin") << QStringLiteral("ex\u0430mple.com") << true << "xn--exmple-4nf.com";
        QTest::addRow("Latin letters with an accent") << QStringLiteral("m\u00fcnchen.de") << true << "xn--mnchen-3ya.de";
        QTest::addRow("plain letters") << QStringLiteral("shop.example.com") << true << "shop.example.com";
        // The engine names an untitled page by its address, the host decoded by
        // its own rules: the title line shows the host as the host line does.
        QTest::addRow("untitled page, Latin letters with an accent") << QStringLiteral("m\u00fcnchen.de") << false << "xn--mnchen-3ya.de";
        QTest::addRow("untitled page, Cyrillic letters that look Latin") << QStringLiteral("\u0430\u0440\u0440\u04cf\u0435.com") << false << "xn--80ak6aa92e.com";
        QTest::addRow("untitled page, plain letters") << QStringLiteral("shop.example.com") << false << "shop.example.com";
    }

    void hostLineShowsLookalikesEncoded()
    {
        QFETCH(QString, host);
        QFETCH(bool, titled);
        QFETCH(QString, shown);
        serve(QStringLiteral("hours.html"), QByteArray(titled ? "<!DOCTYPE html><title>Opening hours</title>" : "<!DOCTYPE html>")
                                                + "<p>Open every day.</p>");
        const QString address = QStringLiteral("http://%1:%2/pages/hours.html").arg(host).arg(m_backend->backend().port());
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        // A round trip through the page: a late title has arrived by then.
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(barTip("inAppBrowserTitle"), titled ? QStringLiteral("Opening hours") : shown);
        QCOMPARE(barText("inAppBrowserHost"), shown);
    }

    // The title line is one line over the host line, whatever breaks the
    // page's title or the article's carries.
    void titleIsOneLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addRow("line separator in the page's title")
            << "hours.html" << QStringLiteral("Opening hours\u2028and holidays") << "Opening hours and holidays";
        QTest::addRow("paragraph separator in the page's title")
            << "hours.html" << QStringLiteral("Opening hours\u2029and holidays") << "Opening hours and holidays";
        QTest::addRow("line breaks in the article's title")
            << "about.html" << QStringLiteral("About&#10;Sample&#13;&#10;Shop") << "About Sample Shop";
        QTest::addRow("long title with a break")
            << "hours.html" << QStringLiteral("Opening hours\u2028") + QStringLiteral("and holidays ").repeated(40)
            << (QStringLiteral("Opening hours ") + QStringLiteral("and holidays ").repeated(40)).trimmed();
    }

    void titleIsOneLine()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        const bool reader = name == QLatin1String("about.html");
        if (reader && !WReaderFace::available())
            QSKIP("built without the reader library");
        QByteArray body = "<!DOCTYPE html><title>" + title.toUtf8() + "</title><p>Open every day.</p>";
        if (reader)
            body = article().replace("<title>", "<meta property=\"og:title\" content=\"" + title.toUtf8() + "\"><title>");
        QVERIFY(open(WexoOptionType::about, serve(name, body)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), reader ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page);
        auto *line = browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle"));
        WEXO_TRY_COMPARE(line->toolTip(), shown, 5000);
        QLabel oneLine(QStringLiteral("Opening hours"));
        oneLine.setFont(line->font());
        QCOMPARE(line->sizeHint().height(), oneLine.sizeHint().height());
        if (line->fontMetrics().horizontalAdvance(shown) <= line->width()) {
            QCOMPARE(line->text(), shown);
        } else {
            QVERIFY2(line->text().endsWith(QChar(0x2026)), qPrintable(line->text()));
            QVERIFY(shown.startsWith(line->text().chopped(1)));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<bool>("click");
        QTest::addColumn<bool>("handedOn");
        QTest::addColumn<int>("downloadsAsked");
        QTest::addRow("link to another scheme") << "hostapp://open" << "" << true << false << 0;
        QTest::addRow("link to a file") << "file:///etc/hostname" << "" << true << false << 0;
        QTest::addRow("scripted pop-up") << "about.html?popup" << "" << false << false << 0;
        QTest::addRow("pop-up from a click goes to the browser") << "about.html?popup" << "target=_blank" << true << true << 0;
        QTest::addRow("download") << "about.html" << "download=x.html" << true << false << 1;
    }

    void refusals()
    {
        QFETCH(QString, target);
        QFETCH(QString, attributes);
        QFETCH(bool, click);
        QFETCH(bool, handedOn);
        QFETCH(int, downloadsAsked);
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QWebEngineProfile *profile = browser()->page()->profile();
        QVERIFY(profile->isOffTheRecord());
        QList<QWebEngineDownloadRequest *> downloads;
        connect(profile, &QWebEngineProfile::downloadRequested, this,
                [&downloads](QWebEngineDownloadRequest *download) { downloads << download; });
        const QString address = QUrl(page(QString())).resolved(QUrl(target)).toString();
        if (click) {
            const QStringList attribute = attributes.split(u'=');
            QVERIFY(clickLinkTo(address, attribute.value(0), attribute.value(1)));
        } else {
            evaluate(QStringLiteral("window.marker = 7;"));
            browser()->page()->runJavaScript(QStringLiteral("window.open('%1')").arg(address));
        }
        if (handedOn)
            WEXO_TRY_COMPARE(m_sink.urls, QStringList {address}, 5000);
        WEXO_TRY_COMPARE(downloads.size(), downloadsAsked, 5000);
        for (QWebEngineDownloadRequest *download : std::as_const(downloads))
            WEXO_TRY_COMPARE(download->state(), QWebEngineDownloadRequest::DownloadCancelled, 5000);
        // Round trips through the page: a navigation would have replaced it by then.
        evaluate(QStringLiteral("document.readyState"));
        QCOMPARE(evaluate(QStringLiteral("window.marker")).toInt(), 7);
        QCOMPARE(browser()->pageUrl().toString(), page(QStringLiteral("sign-in.html")));
        if (!handedOn)
            QVERIFY2(m_sink.urls.isEmpty(), qPrintable(m_sink.urls.join(u' ')));
    }

    void permissionsDenied_data()
    {
        QTest::addColumn<QString>("ask");
        QTest::addColumn<QString>("answer");
        QTest::addRow("notifications") << "Notification.requestPermission().then(p => document.body.dataset.answer = p);" << "denied";
    }

    void permissionsDenied()
    {
        QFETCH(QString, ask);
        QFETCH(QString, answer);
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        // Asked from the page's own world, as the page would; answered, never left pending.
        browser()->page()->runJavaScript(ask);
        WEXO_TRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.answer || 'pending'")).toString(), answer, 5000);
    }

    void consoleGoesToTheLibraryLog()
    {
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        setDebugLogging(true);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^page console .*hello from the page$")));
        browser()->page()->runJavaScript(QStringLiteral("console.log('hello from the page'); document.body.dataset.logged = 'yes';"));
        WEXO_TRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.logged || ''")).toString(), QStringLiteral("yes"), 5000);
        setDebugLogging(false);
    }

    // A page's dialogs never open a window over the host nor wait for an
    // answer: each is answered at once as cancelled, and a page that asks
    // before being left is left.
    void pageDialogsAnsweredAsCancelled_data()
    {
        QTest::addColumn<QString>("onClick");
        QTest::addColumn<QString>("answer"); // what the page made of it
        QTest::addColumn<QString>("kind");
        QTest::addRow("alert") << "alert('Hello'); document.body.dataset.answer = 'returned';" << "returned" << "alert";
        QTest::addRow("confirm") << "document.body.dataset.answer = String(confirm('Sure?'));" << "false" << "confirm";
        QTest::addRow("prompt") << "document.body.dataset.answer = String(prompt('Name?', 'Sam'));" << "null" << "prompt";
        QTest::addRow("leave this page?") << "location.href = 'sign-in.html';" << "left" << "leave";
        QTest::addRow("colour") << "colour.click(); document.body.dataset.answer = colour.value;" << "#102030" << "colour";
    }

    void pageDialogsAnsweredAsCancelled()
    {
        QFETCH(QString, onClick);
        QFETCH(QString, answer);
        QFETCH(QString, kind);
        const QString address = serve(QStringLiteral("asking.html"),
                                      QStringLiteral("<!DOCTYPE html><title>Asking</title><body style=\"margin:0\">"
                                                     "<button style=\"width:100%;height:100vh\" onclick=\"%1\">Go</button><script>"
                                                     "addEventListener('beforeunload', event => { event.preventDefault(); event.returnValue = 'stay'; });"
                                                     "</script><input id=\"colour\" type=\"color\" value=\"#102030\">")
                                          .arg(onClick)
                                          .toUtf8());
        DialogWatch dialogs;
        QVERIFY(open(WexoOptionType::about, address));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        setDebugLogging(true);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^page dialog answered at once: %1 http://127\\.0\\.0\\.1:%2")
                                                                .arg(kind)
                                                                .arg(m_backend->backend().port())));
        // The click on the page is the gesture a page needs to ask before being left.
        QVERIFY(pageTakesClicks());
        if (kind == QLatin1String("leave"))
            WEXO_TRY_COMPARE(browser()->pageUrl().toString(), page(QStringLiteral("sign-in.html")), 20000);
        else
            WEXO_TRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.answer || ''")).toString(), answer, 20000);
        setDebugLogging(false);
        QCOMPARE(dialogs.shown, 0);
        // Nothing is left waiting for an answer.
        WEXO_TRY_VERIFY(browser()->webView()->findChildren<QDialog *>().isEmpty(), 5000);
    }

    // Done while a page alerts again and again closes the page; nothing is
    // deleted under the engine's own call (this crashed the host while the
    // alert's box ran its own loop).
    void alertLoopThenDone()
    {
        const QString address = serve(QStringLiteral("alerting.html"),
                                      "<!DOCTYPE html><title>Alerting</title><body><script>let n = 0;"
                                      "setInterval(() => { alert('Again'); document.body.dataset.alerts = ++n; }, 50);</script>");
        DialogWatch dialogs;
        // A person pressing Done while a box is up, which then stays a while.
        dialogs.answerAfterMs = 1000;
        dialogs.whileShown = [this] {
            if (browser())
                clickBar("inAppBrowserDone");
        };
        QVERIFY(open(WexoOptionType::about, address));
        WEXO_TRY_VERIFY(!browser() || evaluate(QStringLiteral("Number(document.body.dataset.alerts || 0)")).toInt() >= 5, 20000);
        if (browser())
            clickBar("inAppBrowserDone");
        QVERIFY(closed());
        QCOMPARE(dialogs.shown, 0);
    }

    // A page that alerts as it is hidden: when the reader face covers it, and
    // when the page is closed.
    void alertWhenHidden_data()
    {
        QTest::addColumn<bool>("article");
        QTest::addRow("page closed by Done") << false;
        QTest::addRow("page covered by its reader face, then closed") << true;
    }

    void alertWhenHidden()
    {
        QFETCH(bool, article);
        if (article && !WReaderFace::available())
            QSKIP("built without the reader library");
        const QByteArray script = "<script>document.addEventListener('visibilitychange', () => {"
                                  " if (document.hidden) { alert('Bye'); document.documentElement.dataset.hidden = 'yes'; } });</script>";
        QByteArray body = article ? InAppPageFixture::article() : QByteArray("<!DOCTYPE html><title>Hiding</title><p>Bye.</p>");
        body.replace("</body>", script + "</body>");
        if (!article)
            body += script;
        DialogWatch dialogs;
        dialogs.answerAfterMs = 1000;
        QVERIFY(open(WexoOptionType::about, serve(QStringLiteral("hiding.html"), body)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), article ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page);
        evaluate(QStringLiteral("document.readyState"));
        clickBar("inAppBrowserDone");
        QVERIFY(closed());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(300);
        QCOMPARE(dialogs.shown, 0);
    }

    // The host deletes its window from the URL handler the page's pop-up is
    // handed to, inside the engine's own call: nothing of the page is deleted
    // under it. The host and the library start again afterwards.
    void hostDeletesItsWindowFromAPageCallback()
    {
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        m_sink.then = [this](const QUrl &) { m_host.reset(); };
        QVERIFY(clickLinkTo(page(QStringLiteral("about.html?popup")), QStringLiteral("target"), QStringLiteral("_blank")));
        WEXO_TRY_VERIFY(!m_host, 20000);
        WEXO_TRY_VERIFY(!launcher(), 5000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(500);
        m_sink.then = nullptr;
        QVERIFY(startHost());
    }

    void launcherKeepsItsHostWindow()
    {
        // A second main window made after the host: the ranking of windows
        // changes when Qt WebEngine recreates native windows.
        QMainWindow other;
        other.resize(200, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const QPointer<QWidget> libraryWindow = launcher()->window();
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        browser()->close();
        QVERIFY(closed());
        QCOMPARE(launcher()->hostWindow(), m_host.get());
        QCOMPARE(WHostQueries::libraryWindow(), m_host.get());
        QCOMPARE(launcher()->window(), libraryWindow.data());
        QCOMPARE(launcher()->window()->parentWidget(), m_host.get());
        QVERIFY(launcher()->wConsoleMenu()->isVisible());
        QVERIFY(!launcher()->activityView);
    }
};

int main(int argc, char **argv)
{
    return runInAppPageTests(argc, argv, [] { return std::unique_ptr<QObject>(new tst_InAppBrowser); });
}

#else

#include <QTest>

class tst_InAppBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtWithoutWebView() { QSKIP("built without Qt WebEngine (WEXO_WEB_VIEW off)"); }
};

QTEST_MAIN(tst_InAppBrowser)

#endif

#include "tst_inappbrowser.moc"
