#include "WexoCreator/platform/WInAppBrowserPage.h"

#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineCertificateError>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

namespace WexoCreator {

namespace {

// Runs in the application's script world of every document as it is created
// (also where the page's own scripts are off): the page sees neither it nor
// its token. Each report is a console line, sent once. A gesture in any frame
// of the page is the user's on it; the rest is the main frame's own. When
// read in whole, it tells whether it may be an article (the reader library's
// quick test, when there is one: %1), so that a page that cannot be one shows
// as soon as it is painted.
const char *const kReportScript = R"((function (token, deferPainted) {
  var report = function (what) { console.log(token + ' ' + what); };
  var gestures = ['keydown', 'mousedown', 'pointerdown', 'pointerup', 'touchend'];
  var check = function (event) {
    if (!event.isTrusted)
      return;
    // The gesture counts once the engine has taken it as one.
    setTimeout(function () {
      if (navigator.userActivation && !navigator.userActivation.hasBeenActive)
        return;
      gestures.forEach(function (type) { window.removeEventListener(type, check, true); });
      report('activated');
    }, 0);
  };
  gestures.forEach(function (type) { window.addEventListener(type, check, true); });
  if (window !== window.top)
    return;
  report('created ' + location.href);
  %1
  document.addEventListener('DOMContentLoaded', function () {
    var article = true;
    try { article = typeof isProbablyReaderable != 'function' || isProbablyReaderable(document); } catch (error) {}
    report(article ? 'parsed article' : 'parsed plain');
  }, {once: true});
  try {
    // Painted is not yet on its way to the screen: that takes the frame
    // after, committed once its rendering is done (a page busy from then
    // on never commits it), so the report waits for that, and for one frame
    // more: the engine's frames of the picture before, drawn until then,
    // reach the view by another route than the report. A document that
    // runs no script of its own is never kept busy (nor are timers run in
    // it): its report comes at once, a frame early. No report comes earlier
    // for one that does: until its frame is committed, the frames the
    // engine hands the view may still be the picture before's.
    var painted = new PerformanceObserver(function (list) {
      if (!list.getEntriesByName('first-contentful-paint').length)
        return;
      painted.disconnect();
      if (!deferPainted) {
        report('painted early');
        return;
      }
      requestAnimationFrame(function () { requestAnimationFrame(function () { setTimeout(function () { report('painted'); }, 0); }); });
    });
    painted.observe({type: 'paint', buffered: true});
  } catch (error) {}
}))";

// The kinds the bar (Reload, Back, Forward) and this library's own loads (typed) start.
bool startedByUser(QWebEnginePage::NavigationType type)
{
    return type == QWebEnginePage::NavigationTypeTyped || type == QWebEnginePage::NavigationTypeReload
        || type == QWebEnginePage::NavigationTypeBackForward;
}

bool startsNewEntry(QWebEnginePage::NavigationType type)
{
    return type != QWebEnginePage::NavigationTypeBackForward && type != QWebEnginePage::NavigationTypeReload;
}

} // namespace

WInAppBrowserPage::WInAppBrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_token(QString::number(QRandomGenerator::system()->generate64(), 36) + QString::number(QRandomGenerator::system()->generate64(), 36))
{
    installReports(true);
    // Also raised for a sub-resource, which refusing blocks alone; only the
    // page's own certificate fails its load (and that failure says so).
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        // Refused on a copy: the error handed in is const.
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
        qCDebug(lcPlatform) << "certificate error refused for" << error.url().host() << error.description();
    });
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
        // Not opening the request refuses it.
        if (request.isUserInitiated() && isWebAddress(request.requestedUrl())) {
            emit openElsewhere(request.requestedUrl());
            return;
        }
        qCDebug(lcPlatform) << "pop-up refused:" << request.requestedUrl().scheme() << "user initiated"
                            << request.isUserInitiated();
    });
    // No sign-in is asked for here, nor sent empty (which the engine retries
    // until it gives up, and a server may lock the account out for): the
    // challenge is cancelled, the load fails, and the message offers the
    // user's browser, where they can sign in.
    connect(this, &QWebEnginePage::authenticationRequired, this, [this](const QUrl &url, QAuthenticator *authenticator) {
        qCDebug(lcPlatform) << "sign-in refused for" << url.host();
        *authenticator = QAuthenticator();
        refuseChallenge(url);
    });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost) {
                qCDebug(lcPlatform) << "proxy sign-in refused for" << proxyHost;
                *authenticator = QAuthenticator();
                refuseChallenge(url);
            });
    // Every request is answered at once, never left pending.
    connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl &origin, Feature feature) {
        qCDebug(lcPlatform) << "permission denied:" << feature;
        setFeaturePermission(origin, feature, PermissionDeniedByUser);
    });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this, [](QWebEngineFileSystemAccessRequest request) {
        request.reject();
    });
    connect(this, &QWebEnginePage::quotaRequested, this, [](QWebEngineQuotaRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
}

void WInAppBrowserPage::installReports(bool pageScripts)
{
    const QString name = QStringLiteral("wexoDocumentReport");
    for (const QWebEngineScript &installed : scripts().find(name))
        scripts().remove(installed);
    QWebEngineScript report;
    report.setName(name);
    report.setWorldId(QWebEngineScript::ApplicationWorld);
    report.setInjectionPoint(QWebEngineScript::DocumentCreation);
    report.setRunsOnSubFrames(true);
    report.setSourceCode(QString::fromLatin1(kReportScript).arg(WReaderFace::readerableScript())
                         + QStringLiteral("('%1', %2);").arg(m_token, pageScripts ? QStringLiteral("true") : QStringLiteral("false")));
    scripts().insert(report);
}

void WInAppBrowserPage::refuseChallenge(const QUrl &url)
{
    // The page's own address: its answer's page (the server's or the proxy's)
    // would load and run behind the message once the challenge is cancelled,
    // refreshing itself or asking again, so its load stops here. A part of a
    // page that asks fails alone.
    if (!m_arriving.contains(url))
        return;
    m_challenged = url;
    triggerAction(Stop);
}

std::optional<QUrl> WInAppBrowserPage::takeChallenged()
{
    return std::exchange(m_challenged, std::nullopt);
}

void WInAppBrowserPage::holdChallengedDocument()
{
    m_heldDocument = true;
}

bool WInAppBrowserPage::isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

void WInAppBrowserPage::loadEnded(bool withDocument)
{
    m_loading = false;
    if (withDocument)
        m_arriving.clear();
}

bool WInAppBrowserPage::arrivedAt(const QUrl &url, const QUrl &before)
{
    const qsizetype index = m_arriving.indexOf(url);
    // A document moves its own address only within its origin; one the page
    // never asked about (an empty page) is a new document all the same.
    const bool arrived = index >= 0 || url.scheme() != before.scheme() || url.host() != before.host() || url.port() != before.port();
    if (index >= 0)
        m_arriving.remove(0, index + 1);
    if (arrived)
        noteArrival(m_lastNavigation);
    return arrived;
}

void WInAppBrowserPage::noteArrival(NavigationType type)
{
    const int index = history()->currentItemIndex();
    if (startsNewEntry(type) && index == m_index + 1) {
        // The entries after it went with the new one.
        for (auto mark = m_movedOn.begin(); mark != m_movedOn.end();)
            mark = mark.key() >= index ? m_movedOn.erase(mark) : std::next(mark);
        // The document before moved on by itself (not by the user's gesture,
        // nor by this library's own load): the engine's Back skips its entry.
        if (index > 0 && !m_activated && type != NavigationTypeTyped)
            m_movedOn.insert(index - 1, history()->itemAt(index - 1).url());
    }
    m_index = index;
    m_activated = false;
}

bool WInAppBrowserPage::movedOn(int index) const
{
    // A mark holds while the entry is the one it was made for.
    const auto mark = m_movedOn.constFind(index);
    return mark != m_movedOn.constEnd() && history()->itemAt(index).url() == mark.value();
}

int WInAppBrowserPage::backIndex() const
{
    for (int index = history()->currentItemIndex() - 1; index >= 0; --index) {
        if (!movedOn(index))
            return index;
    }
    return -1;
}

int WInAppBrowserPage::firstIndex() const
{
    const int current = history()->currentItemIndex();
    for (int index = 0; index < current; ++index) {
        if (!movedOn(index))
            return index;
    }
    return -1;
}

int WInAppBrowserPage::forwardIndex() const
{
    const int count = history()->count();
    for (int index = history()->currentItemIndex() + 1; index < count; ++index) {
        if (!movedOn(index))
            return index;
    }
    return -1;
}

void WInAppBrowserPage::onReport(const QString &report)
{
    if (report.startsWith(QLatin1String("created ")))
        emit documentCreated(QUrl(report.mid(8)));
    else if (report.startsWith(QLatin1String("parsed ")))
        emit documentParsed(report != QLatin1String("parsed plain"));
    else if (report == QLatin1String("painted"))
        emit documentPainted(1);
    else if (report == QLatin1String("painted early"))
        emit documentPainted(2);
    else if (report == QLatin1String("activated"))
        onActivated();
}

void WInAppBrowserPage::onActivated()
{
    m_activated = true;
    // The report of a quick click can come after the navigation it led to
    // was let through: that one is the user's too.
    m_byItself = false;
}

bool WInAppBrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // A held sign-in answer's own refresh or script goes nowhere.
    if (isMainFrame && m_heldDocument) {
        if (!startedByUser(type)) {
            qCDebug(lcPlatform) << "navigation of a sign-in answer refused:" << type;
            return false;
        }
        m_heldDocument = false;
    }
    if (isWebAddress(url)) {
        // Asked for the documents that load anew (a move within a document is never asked about).
        if (isMainFrame) {
            // A redirect while a load is on its way is the server's answer to
            // that load, whose it stays (the user's, or this library's); one
            // with none on its way is the document moving on by itself.
            if (type != NavigationTypeRedirect || m_arriving.isEmpty() || !m_loading) {
                m_lastNavigation = type;
                m_byItself = type != NavigationTypeTyped && !m_userNext && !m_activated;
            }
            m_userNext = false;
            m_loading = true;
            m_arriving.append(url);
        }
        return true;
    }
    // Empty frames of a web page open nothing outside.
    if (!isMainFrame && (url.toString() == QLatin1String("about:blank") || url.toString() == QLatin1String("about:srcdoc")))
        return true;
    // Anything else would reach the desktop's (and the host's) URL handlers.
    qCDebug(lcPlatform) << "navigation refused, not a web address:" << type << url.scheme();
    return false;
}

QStringList WInAppBrowserPage::chooseFiles(FileSelectionMode mode, const QStringList &, const QStringList &)
{
    // Help pages get none of the user's files, and no dialog opens over the host.
    qCDebug(lcPlatform) << "file choice refused:" << mode;
    return {};
}

void WInAppBrowserPage::javaScriptAlert(const QUrl &securityOrigin, const QString &)
{
    qCDebug(lcPlatform).noquote() << "page dialog answered at once: alert" << securityOrigin.toString();
}

bool WInAppBrowserPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    // "Leave this page?" comes as a confirmation with Qt WebEngine's own
    // question: the page is left. A page asking that very question itself is
    // answered yes, which gives it nothing it could not do on its own.
    const bool leave = message
        == QCoreApplication::translate("QWebEnginePage",
                                       "Are you sure you want to leave this page? Changes that you made may not be saved.");
    qCDebug(lcPlatform).noquote() << "page dialog answered at once:" << (leave ? "leave" : "confirm")
                                  << securityOrigin.toString();
    return leave;
}

bool WInAppBrowserPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &, const QString &, QString *)
{
    qCDebug(lcPlatform).noquote() << "page dialog answered at once: prompt" << securityOrigin.toString();
    return false;
}

void WInAppBrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                                 int lineNumber, const QString &sourceID)
{
    if (message.size() > m_token.size() && message.startsWith(m_token) && message.at(m_token.size()) == u' ') {
        onReport(message.mid(m_token.size() + 1));
        return;
    }
    qCDebug(lcPlatform).noquote() << "page console" << level << QUrl(sourceID).host() << lineNumber << message;
}

} // namespace WexoCreator
