#include "WexoCreator/platform/WInAppBrowserPage.h"

#include "WexoCreator/platform/WLogging.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

namespace WexoCreator {

WInAppBrowserPage::WInAppBrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
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
    connect(this, &QWebEnginePage::authenticationRequired, this, [](const QUrl &url, QAuthenticator *authenticator) {
        qCDebug(lcPlatform) << "sign-in refused for" << url.host();
        *authenticator = QAuthenticator();
    });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator, const QString &proxyHost) {
                qCDebug(lcPlatform) << "proxy sign-in refused for" << proxyHost;
                *authenticator = QAuthenticator();
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

bool WInAppBrowserPage::isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

bool WInAppBrowserPage::arrivedAt(const QUrl &url, const QUrl &before)
{
    const qsizetype index = m_arriving.indexOf(url);
    if (index >= 0) {
        m_arriving.remove(0, index + 1);
        return true;
    }
    // A document moves its own address only within its origin; one the page
    // never asked about (an empty page) is a new document all the same.
    return url.scheme() != before.scheme() || url.host() != before.host() || url.port() != before.port();
}

bool WInAppBrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isWebAddress(url)) {
        // Asked for the documents that load anew (a move within a document is never asked about).
        if (isMainFrame)
            m_arriving.append(url);
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
    qCDebug(lcPlatform).noquote() << "page console" << level << QUrl(sourceID).host() << lineNumber << message;
}

} // namespace WexoCreator
