#ifdef WEXO_WEB_VIEW

#include "support/InAppPageFixture.h"

#include "support/FaceFilm.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace WexoCreator {

namespace {

const char *const kSchemes[] = {"http", "https", "hostapp"};

// The challenge proxy's socket, listening from before the engine starts (its
// port is in the engine's proxy rules); the proxy takes it over.
qintptr proxySocket = -1;

// A listening socket on a free loopback port, and that port.
std::pair<qintptr, quint16> listenOnLoopback()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return {-1, 0};
    return {fd, ntohs(address.sin_port)};
}

} // namespace

InAppPageFixture::InAppPageFixture() = default;

InAppPageFixture::~InAppPageFixture() = default;

bool InAppPageFixture::startHost()
{
    if (!m_backend) {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
    }
    if (!m_backend->isRunning())
        return false;
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
    if (!QTest::qWaitForWindowExposed(m_host.get()))
        return false;
    WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
    if (!QTest::qWaitFor([] { return WexolinManager::shared().theme() && !WFeedManager::shared().wexoFeed().isEmpty(); },
                         10000)
        || !QTest::qWaitFor([this] { return launcher() && launcher()->window()->wConsoleButton(); }, 5000))
        return false;
    for (const char *scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_sink, "open");
    return true;
}

void InAppPageFixture::stopHost()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    m_host.reset();
}

bool InAppPageFixture::closePage()
{
    m_backend->backend().clearScripts();
    if (browser())
        browser()->close();
    return closed();
}

WexoButtonController *InAppPageFixture::launcher()
{
    return WexolinManager::shared().wexoButtonController();
}

WInAppBrowser *InAppPageFixture::browser()
{
    return launcher() ? qobject_cast<WInAppBrowser *>(launcher()->presentedViewController()) : nullptr;
}

QWebEnginePage *InAppPageFixture::shownPage()
{
    return browser()->face() == WInAppBrowser::Face::reader ? browser()->readerFace()->page() : browser()->page();
}

QString InAppPageFixture::page(const QString &name)
{
    return m_backend->rootUrl() + QStringLiteral("pages/") + name;
}

QString InAppPageFixture::serve(const QString &name, const QByteArray &body, const QByteArray &type)
{
    WexoSample::ScriptedAnswer answer;
    answer.body = body;
    answer.contentType = type;
    m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/") + name, answer);
    return page(name);
}

QString InAppPageFixture::barText(const char *name)
{
    return browser()->view()->findChild<QLabel *>(QString::fromLatin1(name))->text();
}

QString InAppPageFixture::barTip(const char *name)
{
    return browser()->view()->findChild<QLabel *>(QString::fromLatin1(name))->toolTip();
}

QToolButton *InAppPageFixture::barButton(const char *name)
{
    return browser()->view()->findChild<QToolButton *>(QString::fromLatin1(name));
}

void InAppPageFixture::clickBar(const char *name)
{
    QTest::mouseClick(barButton(name), Qt::LeftButton);
}

bool InAppPageFixture::open(WexoOptionType type, const QUrl &url)
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

bool InAppPageFixture::openArticleInReader()
{
    if (!open(WexoOptionType::about, page(QStringLiteral("about.html"))))
        return false;
    QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
    return checked.wait(20000) && browser()->face() == WInAppBrowser::Face::reader;
}

bool InAppPageFixture::closed()
{
    return QTest::qWaitFor([this] { return !browser() && launcher()->window()->wConsoleButton(); }, 10000);
}

QVariant InAppPageFixture::evaluate(const QString &script)
{
    return evaluateIn(shownPage(), script);
}

QVariant InAppPageFixture::evaluateIn(QWebEnginePage *page, const QString &script)
{
    // A script sent to a document that is replaced (or whose renderer ends)
    // before it answers is never answered: the wait ends there too. The
    // answer may still come after it: the callback holds its own state.
    struct Answer {
        QVariant value;
        bool done = false;
    };
    const auto answer = std::make_shared<Answer>();
    bool gone = false;
    QObject context;
    const auto onGone = [&gone] { gone = true; };
    if (auto *ours = qobject_cast<WInAppBrowserPage *>(page))
        QObject::connect(ours, &WInAppBrowserPage::documentCreated, &context, onGone);
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, &context, onGone);
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant &value) {
        answer->value = value;
        answer->done = true;
    });
    if (!QTest::qWaitFor([&] { return answer->done || gone; }, 10000) || !answer->done)
        return QStringLiteral("<no answer>");
    return answer->value;
}

bool InAppPageFixture::pageTakesClicks()
{
    evaluate(QStringLiteral("document.addEventListener('mousedown', () => window.wexoPressed = true, true)"));
    QWidget *surface = QWebEngineView::forPage(shownPage())->focusProxy();
    return QTest::qWaitFor([&] {
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(surface->width() - 30, surface->height() - 30));
        return evaluate(QStringLiteral("window.wexoPressed === true")).toBool();
    }, 10000);
}

bool InAppPageFixture::clickLinkTo(const QString &address, const QString &attribute, const QString &value)
{
    evaluate(QStringLiteral("var a = document.createElement('a'); a.href = '%1';"
                            "a.style = 'position:fixed;left:0;top:0;width:200px;height:100px;display:block;background:red';"
                            "if ('%2') a.setAttribute('%2', '%3'); document.body.appendChild(a); window.marker = 7;")
                 .arg(address, attribute, value));
    if (!pageTakesClicks())
        return false;
    QTest::mouseClick(QWebEngineView::forPage(shownPage())->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
    return true;
}

bool InAppPageFixture::spinUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer look;
    connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    look.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!condition())
        loop.exec();
    return condition();
}

bool InAppPageFixture::scriptsOn()
{
    return shownPage()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled);
}

bool InAppPageFixture::readerChecked()
{
    return barButton("inAppBrowserReader")->isChecked();
}

bool InAppPageFixture::settledAfter(const std::function<void()> &step)
{
    // The document before may still settle meanwhile (on a busy machine):
    // only what settles once the address has changed counts.
    const QUrl before = browser()->pageUrl();
    bool settled = false;
    const QObject context;
    connect(browser(), &WInAppBrowser::readerChecked, &context, [&] { settled = settled || browser()->pageUrl() != before; });
    step();
    return spinUntil([&] { return settled; });
}

QByteArray InAppPageFixture::article()
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/pages/about.html"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray InAppPageFixture::nextPage()
{
    return "<!DOCTYPE html><title>Next</title><script>document.documentElement.dataset.ran = 'yes';</script>";
}

QByteArray InAppPageFixture::colouredArticle(const QByteArray &name, const QByteArray &colour)
{
    return article()
        .replace("About Sample Shop", name)
        .replace("background: #f4f6f8", "background: " + colour)
        .replace("background: #fff", "background: " + colour)
        .replace("<p class=\"byline\">By the Sample Shop team</p>",
                 "<p class=\"byline\">By the Sample Shop team</p><p>" + FaceFilm::marker(QColor(QString::fromLatin1(colour)))
                     + " The colour of this copy.</p>");
}

QByteArray InAppPageFixture::colouredPage(const QByteArray &name, const QByteArray &colour)
{
    return "<!DOCTYPE html><title>" + name + "</title><style>html, body { background: " + colour
        + "; margin: 0 }</style><p>Nothing to read here, " + name + ".</p>";
}

std::unique_ptr<WexoSample::SampleBackend> InAppPageFixture::otherHost()
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

QString InAppPageFixture::articleInReaderFace(const QString &heading, const QString &host)
{
    if (browser()->face() != WInAppBrowser::Face::reader)
        return QStringLiteral("not the reader face");
    if (!readerChecked())
        return QStringLiteral("Reader not checked");
    if (scriptsOn())
        return QStringLiteral("scripts on");
    const QString shown = evaluate(QStringLiteral("document.querySelector('h1').textContent")).toString();
    if (shown != heading)
        return QStringLiteral("heading ") + shown;
    const QString line = barText("inAppBrowserHost");
    return line == host ? QString() : QStringLiteral("host line ") + line;
}

QString InAppPageFixture::nextPageInPageFace()
{
    if (browser()->face() != WInAppBrowser::Face::page)
        return QStringLiteral("not the page face");
    if (!scriptsOn() || evaluate(QStringLiteral("document.documentElement.dataset.ran")).toString() != QLatin1String("yes"))
        return QStringLiteral("its script did not run");
    const QString host = barText("inAppBrowserHost");
    return host == QLatin1String("localhost") ? QString() : QStringLiteral("host line ") + host;
}

ChallengeProxy &ChallengeProxy::cleared()
{
    static ChallengeProxy *const proxy = [] {
        auto *made = new ChallengeProxy;
        made->setParent(qApp);
        return made;
    }();
    proxy->requests.clear();
    proxy->credentials.clear();
    proxy->body = "<title>Proxy</title>x";
    return *proxy;
}

ChallengeProxy::ChallengeProxy()
    : m_server(new QTcpServer(this))
{
    if (proxySocket < 0 || !m_server->setSocketDescriptor(proxySocket))
        qWarning("challenge proxy: no socket");
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray head = socket->peek(64 * 1024);
                if (!head.contains("\r\n\r\n"))
                    return;
                socket->readAll();
                const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
                requests << QString::fromLatin1(lines.constFirst().trimmed());
                for (const QByteArray &line : lines) {
                    if (line.toLower().startsWith("proxy-authorization:"))
                        credentials << QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
                }
                socket->write("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"proxy\"\r\n"
                              "Content-Type: text/html\r\nContent-Length: "
                              + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            });
        }
    });
}

EndedLoads::EndedLoads(QWebEnginePage *page)
{
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            urls << info.url();
    });
}

int runInAppPageTests(int argc, char **argv, const std::function<std::unique_ptr<QObject>()> &makeTest)
{
    // These programs run as root in CI: the sandbox goes off here, never in the library.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    std::vector<char *> arguments(argv, argv + argc);
    char engineArguments[] = "--webEngineArgs";
    char resolverRules[] = "--host-resolver-rules=MAP *.com 127.0.0.1,MAP *.de 127.0.0.1,MAP nowhere.test ~NOTFOUND,MAP *.test 127.0.0.1";
    const auto [socket, port] = listenOnLoopback();
    proxySocket = socket;
    const QByteArray pac = QStringLiteral("function FindProxyForURL(url, host) { return host == 'proxied.test' ? 'PROXY 127.0.0.1:%1' : 'DIRECT'; }")
                               .arg(port)
                               .toLatin1();
    QByteArray proxyRules = "--proxy-pac-url=data:application/x-ns-proxy-autoconfig;base64," + pac.toBase64();
    arguments.push_back(engineArguments);
    arguments.push_back(resolverRules);
    arguments.push_back(proxyRules.data());
    int engineArgc = int(arguments.size());
    QApplication app(engineArgc, arguments.data());
    const std::unique_ptr<QObject> test = makeTest();
    return QTest::qExec(test.get(), argc, argv);
}

} // namespace WexoCreator

#endif
