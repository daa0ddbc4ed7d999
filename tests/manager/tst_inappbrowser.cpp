#include "support/BackendFixture.h"
#include "support/DesktopFixture.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#ifdef WEXO_WEB_VIEW
#include "WexoCreator/platform/WInAppBrowser.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"

#include <QLabel>
#include <QToolButton>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include <csignal>
#include <vector>
#endif

using namespace WexoCreator;

#ifdef WEXO_WEB_VIEW

// The in-app page end to end: the library started as a host starts it, pages
// from the sample backend. Qt WebEngine lives for the whole process, so these
// cases have a program of their own.
class tst_InAppBrowser : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    QPushButton *m_hostButton = nullptr;
    QLineEdit *m_hostField = nullptr;
    UrlSink m_sink;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }
    WInAppBrowser *browser() { return qobject_cast<WInAppBrowser *>(launcher()->presentedViewController()); }
    QString page(const QString &name) { return m_backend->rootUrl() + QStringLiteral("pages/") + name; }

    // A page of the test's own, served by the sample backend until the test ends.
    QString serve(const QString &name, const QByteArray &body, const QByteArray &type = "text/html; charset=utf-8")
    {
        WexoSample::ScriptedAnswer answer;
        answer.body = body;
        answer.contentType = type;
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/") + name, answer);
        return page(name);
    }

    QString barText(const char *name) { return browser()->view()->findChild<QLabel *>(QString::fromLatin1(name))->text(); }
    QString barTip(const char *name) { return browser()->view()->findChild<QLabel *>(QString::fromLatin1(name))->toolTip(); }
    void clickBar(const char *name)
    {
        QTest::mouseClick(browser()->view()->findChild<QToolButton *>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    // Opens a row's page as the menu hands it over, and waits for the first look at it.
    bool open(WexoOptionType type, const QUrl &url = {})
    {
        if (!url.isEmpty()) {
            launcher()->presentWebView(url);
        } else {
            WexoOption option;
            option.type = type;
            launcher()->onOptionSelected(option);
        }
        return browser() != nullptr;
    }

    // The page's answer to a script, run in the application's world (the
    // reader face runs none of the page's own).
    QVariant evaluate(const QString &script)
    {
        QVariant result;
        bool done = false;
        browser()->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &value) {
            result = value;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 10000))
            return QStringLiteral("<no answer>");
        return result;
    }

    // The first clicks on a page just shown can come before the page takes
    // input (on X they were lost now and then): clicks near the bottom right
    // corner, clear of scroll bars and of the reader face's text, until the
    // page has seen one.
    bool pageTakesClicks()
    {
        evaluate(QStringLiteral("document.addEventListener('mousedown', () => window.wexoPressed = true, true)"));
        QWidget *surface = browser()->webView()->focusProxy();
        return QTest::qWaitFor([&] {
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(surface->width() - 30, surface->height() - 30));
            return evaluate(QStringLiteral("window.wexoPressed === true")).toBool();
        }, 10000);
    }

    // A link over the page's top left corner, clicked as a person clicks it,
    // once the page takes clicks.
    bool clickLinkTo(const QString &address, const QString &attribute = QString(), const QString &value = QString())
    {
        evaluate(QStringLiteral("var a = document.createElement('a'); a.href = '%1';"
                                "a.style = 'position:fixed;left:0;top:0;width:200px;height:100px;display:block;background:red';"
                                "if ('%2') a.setAttribute('%2', '%3'); document.body.appendChild(a); window.marker = 7;")
                     .arg(address, attribute, value));
        if (!pageTakesClicks())
            return false;
        QTest::mouseClick(browser()->webView()->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        return true;
    }

    bool closed() { return QTest::qWaitFor([this] { return !browser() && launcher()->window()->wConsoleButton(); }, 10000); }

    // The sample About page, an article the reader face takes.
    static QByteArray article()
    {
        QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/pages/about.html"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The addresses of the page's loads that end (or fail, or stop) from now on.
    struct EndedLoads : QObject {
        explicit EndedLoads(QWebEnginePage *page)
        {
            connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
                if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                    urls << info.url();
            });
        }
        QList<QUrl> urls;
    };

    // Another host: the same kind of backend, reached under the name localhost.
    static std::unique_ptr<WexoSample::SampleBackend> otherHost()
    {
        WexoSample::SampleBackend::Options options;
        options.dataDir = QStringLiteral(WEXO_SAMPLE_DATA_DIR);
        auto other = std::make_unique<WexoSample::SampleBackend>(options);
        if (!other->start(0)) {
            qWarning("other host: %s", qPrintable(other->errorString()));
            return nullptr;
        }
        return other;
    }

    // A page whose script marks the document when it runs.
    static QByteArray nextPage()
    {
        return "<!DOCTYPE html><title>Next</title><script>document.documentElement.dataset.ran = 'yes';</script>";
    }

    // What differs from the sample article shown in its reader face (the face,
    // the Reader button, scripts off, the article's heading, the host line);
    // empty when nothing does.
    QString articleInReaderFace()
    {
        if (browser()->face() != WInAppBrowser::Face::reader)
            return QStringLiteral("not the reader face");
        if (!readerChecked())
            return QStringLiteral("Reader not checked");
        if (scriptsOn())
            return QStringLiteral("scripts on");
        const QString heading = evaluate(QStringLiteral("document.querySelector('h1').textContent")).toString();
        if (heading != QLatin1String("About Sample Shop"))
            return QStringLiteral("heading ") + heading;
        const QString host = barText("inAppBrowserHost");
        return host == QLatin1String("127.0.0.1") ? QString() : QStringLiteral("host line ") + host;
    }

    // What differs from nextPage() shown as a page of its own on the other
    // host (the face, scripts run from its start, the host line); empty when
    // nothing does.
    QString nextPageInPageFace()
    {
        if (browser()->face() != WInAppBrowser::Face::page)
            return QStringLiteral("not the page face");
        if (!scriptsOn() || evaluate(QStringLiteral("document.documentElement.dataset.ran")).toString() != QLatin1String("yes"))
            return QStringLiteral("its script did not run");
        const QString host = barText("inAppBrowserHost");
        return host == QLatin1String("localhost") ? QString() : QStringLiteral("host line ") + host;
    }

    // Opens the sample About page and waits for its reader face.
    bool openArticleInReader()
    {
        if (!open(WexoOptionType::about, page(QStringLiteral("about.html"))))
            return false;
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        return checked.wait(20000) && browser()->face() == WInAppBrowser::Face::reader;
    }

    bool scriptsOn() { return browser()->page()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled); }
    bool readerChecked() { return browser()->view()->findChild<QToolButton *>(QStringLiteral("inAppBrowserReader"))->isChecked(); }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        m_host = std::make_unique<QMainWindow>();
        auto *central = new QWidget;
        auto *column = new QVBoxLayout(central);
        m_hostButton = new QPushButton(QStringLiteral("Buy"), central);
        m_hostField = new QLineEdit(central);
        column->addWidget(m_hostButton);
        column->addWidget(m_hostField);
        m_host->setCentralWidget(central);
        m_host->resize(420, 700);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
        QTRY_VERIFY_WITH_TIMEOUT(WexolinManager::shared().theme() && !WFeedManager::shared().wexoFeed().isEmpty(), 10000);
        QTRY_VERIFY(launcher()->window()->wConsoleButton());
        for (const char *scheme : {"http", "https", "hostapp"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_sink, "open");
    }

    void init() { m_sink.urls.clear(); }

    void cleanup()
    {
        m_backend->backend().clearScripts();
        if (browser())
            browser()->close();
        QVERIFY(closed());
    }

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
        QTRY_COMPARE(browser()->view()->geometry(), launcher()->window()->rect());
        QTRY_VERIFY(!launcher()->isTransitioning());
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == m_host.get(), 5000);
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
        QTRY_COMPARE(browser()->view()->geometry(), launcher()->window()->rect());
        QVERIFY(browser()->view()->isVisible());
        QVERIFY(!launcher()->window()->wConsoleButton());
        QTRY_VERIFY(launcher()->window()->holdsEveryTouch());
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
        QTRY_VERIFY(browser()->webView()->focusProxy()->hasFocus());
        QTest::keyClicks(browser()->webView()->focusProxy(), QStringLiteral("ab"));
        QTRY_COMPARE(evaluate(QStringLiteral("document.getElementById('email').value")).toString(), QStringLiteral("ab"));
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
        QTRY_VERIFY(browser()->webView()->focusProxy()->hasFocus());

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
        QTRY_COMPARE(title->toolTip(), QStringLiteral("Sign in to Sample Shop"));
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
        QTRY_VERIFY(forward->isEnabled());
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
        QTRY_VERIFY_WITH_TIMEOUT(!browser()->messageText().isEmpty(), 20000);
        // "Open in browser" hands the address on.
        QTest::mouseClick(browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserMessageOpen")), Qt::LeftButton);
        QCOMPARE(m_sink.urls, QStringList {url});
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
        QSignalSpy loaded(browser()->page(), &QWebEnginePage::loadFinished);
        QVERIFY(loaded.wait(20000));
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
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(answers).toString(), QStringLiteral("AbortError AbortError held.txt"), 20000);
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
            QTRY_COMPARE_WITH_TIMEOUT(browser()->face(), WInAppBrowser::Face::message, 20000);
            browser()->close();
            QVERIFY(closed());
            // Gone before the next page comes, as between two test functions.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        if (reader && !WInAppBrowser::readerAvailable())
            QSKIP("built without the reader library");
        QByteArray body = "<!DOCTYPE html><title>" + title.toUtf8() + "</title><p>Open every day.</p>";
        if (reader)
            body = article().replace("<title>", "<meta property=\"og:title\" content=\"" + title.toUtf8() + "\"><title>");
        QVERIFY(open(WexoOptionType::about, serve(name, body)));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        QCOMPARE(browser()->face(), reader ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page);
        auto *line = browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle"));
        QTRY_COMPARE(line->toolTip(), shown);
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
            QTRY_COMPARE(m_sink.urls, QStringList {address});
        QTRY_COMPARE(downloads.size(), downloadsAsked);
        for (QWebEngineDownloadRequest *download : std::as_const(downloads))
            QTRY_COMPARE(download->state(), QWebEngineDownloadRequest::DownloadCancelled);
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
        QTRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.answer || 'pending'")).toString(), answer);
    }

    void consoleGoesToTheLibraryLog()
    {
        QVERIFY(open(WexoOptionType::about, page(QStringLiteral("sign-in.html"))));
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QVERIFY(checked.wait(20000));
        setDebugLogging(true);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^page console .*hello from the page$")));
        browser()->page()->runJavaScript(QStringLiteral("console.log('hello from the page'); document.body.dataset.logged = 'yes';"));
        QTRY_COMPARE(evaluate(QStringLiteral("document.body.dataset.logged || ''")).toString(), QStringLiteral("yes"));
        setDebugLogging(false);
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
    // This test's own process runs as root in CI: the sandbox goes off here, never in the library.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Internationalised names for the host line's cases, answered on loopback.
    std::vector<char *> arguments(argv, argv + argc);
    char engineArguments[] = "--webEngineArgs";
    char resolverRules[] = "--host-resolver-rules=MAP *.com 127.0.0.1,MAP *.de 127.0.0.1";
    arguments.push_back(engineArguments);
    arguments.push_back(resolverRules);
    int engineArgc = int(arguments.size());
    QApplication app(engineArgc, arguments.data());
    tst_InAppBrowser test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#else

class tst_InAppBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtWithoutWebView() { QSKIP("built without Qt WebEngine (WEXO_WEB_VIEW off)"); }
};

QTEST_MAIN(tst_InAppBrowser)

#endif

#include "tst_inappbrowser.moc"
