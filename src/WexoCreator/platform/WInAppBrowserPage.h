#pragma once

#include <QList>
#include <QUrl>
#include <QWebEnginePage>

namespace WexoCreator {

// The in-app page's web page with the library's rules: only web addresses,
// certificate errors refused, no pop-ups but user-initiated web ones (handed
// on), every permission and file choice denied, every dialog answered at once
// as cancelled (no window over the host, no event loop of its own), the
// page's console to the library's log.
class WInAppBrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit WInAppBrowserPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    static bool isWebAddress(const QUrl &url);

    // Whether the address the page now shows is a new document's (one of the
    // navigations it let through, or another origin), rather than its
    // document moving its own address (history API, a part of it). Asked once
    // per address change.
    bool arrivedAt(const QUrl &url, const QUrl &before);
    // Loading has stopped: no navigation let through is on its way any more.
    void loadsEnded() { m_arriving.clear(); }

Q_SIGNALS:
    // A user-initiated pop-up.
    void openElsewhere(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    // Main-frame addresses let through whose document has not arrived yet.
    QList<QUrl> m_arriving;
};

} // namespace WexoCreator
