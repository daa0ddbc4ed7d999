#include "WexoCreator/platform/WInAppBrowserPage.h"

#include "WexoCreator/platform/WLogging.h"

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

bool WInAppBrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame && m_expectReaderLoad && url.scheme() == QLatin1String("data")) {
        m_expectReaderLoad = false;
        return true;
    }
    // The reader face shows what it was made from under that address: a
    // refresh or any other move of its own would show another page there.
    if (m_readerFace && isMainFrame) {
        const bool asked = type == NavigationTypeLinkClicked || (type == NavigationTypeBackForward && m_historyStepAsked);
        if (asked && isWebAddress(url)) {
            m_historyStepAsked = false;
            m_readerLinkFollowed = true;
            emit readerLinkClicked(url);
            return true;
        }
        if (type == NavigationTypeRedirect && m_readerLinkFollowed && isWebAddress(url))
            return true;
        qCDebug(lcPlatform) << "reader face navigation refused:" << type << url.scheme();
        return false;
    }
    if (isWebAddress(url))
        return true;
    // Empty frames of a web page open nothing outside.
    if (!isMainFrame && (url.toString() == QLatin1String("about:blank") || url.toString() == QLatin1String("about:srcdoc")))
        return true;
    // Anything else would reach the desktop's (and the host's) URL handlers.
    qCDebug(lcPlatform) << "navigation refused, not a web address:" << url.scheme();
    return false;
}

QStringList WInAppBrowserPage::chooseFiles(FileSelectionMode mode, const QStringList &, const QStringList &)
{
    // Help pages get none of the user's files, and no dialog opens over the host.
    qCDebug(lcPlatform) << "file choice refused:" << mode;
    return {};
}

void WInAppBrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                                 int lineNumber, const QString &sourceID)
{
    qCDebug(lcPlatform).noquote() << "page console" << level << QUrl(sourceID).host() << lineNumber << message;
}

} // namespace WexoCreator
