#pragma once

#include <QList>
#include <QHash>
#include <QUrl>
#include <QWebEnginePage>

#include <optional>

namespace WexoCreator {

// The in-app page's web page with the library's rules: only web addresses,
// certificate errors refused, no pop-ups but user-initiated web ones (handed
// on), every permission and file choice denied, every dialog answered at once
// as cancelled (no window over the host, no event loop of its own), the
// page's console to the library's log. Each of its documents reports to it,
// from the application's script world, when it was created, read in whole,
// first painted content and first acted on by the user: pushed once each,
// under a token the page's own scripts cannot see.
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
    // A load has ended: no navigation let through is on its way any more.
    // One that ended without a document of its own (refused, no content, a
    // download) may still bring one (the engine goes on anew with a Back it
    // could not take from its cache): its address arrives as a new document,
    // but what the page does next is its own.
    void loadEnded(bool withDocument);
    // The next main-frame navigation is the user's (a button of the bar),
    // however it comes to the page.
    void navigateForUser() { m_userNext = true; }
    // The latest main-frame navigation let through (and the document it
    // brings) is the page's own doing: neither the user's (a gesture on the
    // page, the bar) nor this library's (its own loads).
    bool navigatedByItself() const { return m_byItself; }
    // The latest main-frame navigation let through is a step in the history.
    bool arrivedByHistory() const { return m_lastNavigation == NavigationTypeBackForward; }

    // The address whose sign-in was refused since asked last: its load stopped.
    std::optional<QUrl> takeChallenged();
    // The current document is the page of an answer asking for a sign-in the
    // engine could not ask about (a scheme it does not support), loaded as
    // the address's own: it goes nowhere by itself from now on (a refresh, a
    // script). The next navigation of the user's or this library's ends that.
    void holdChallengedDocument();

    // Where Back and Forward lead: the nearest entry either way, skipping the
    // documents that moved on to another by themselves, with no gesture of
    // the user's (going back to one would only move on again); -1 when none.
    int backIndex() const;
    int forwardIndex() const;
    // The earliest entry before the current one that Back may show; -1 when none.
    int firstIndex() const;

Q_SIGNALS:
    // A user-initiated pop-up.
    void openElsewhere(const QUrl &url);
    // The main frame's new document exists, at that address (also the one
    // before's: a reload).
    void documentCreated(const QUrl &url);
    // The main frame's document has been read in whole (its parts may still
    // load); whether it may be an article (false: it cannot be one).
    void documentParsed(bool mayBeArticle);
    // The main frame's document painted its first content: the engine's
    // frame that carries it is at most that many frames after the report
    // (1: committed, on its way).
    void documentPainted(int framesAway);

protected:
    // The reports for documents that run scripts of their own, or for ones
    // that run none (a page whose scripts are off).
    void installReports(bool pageScripts);
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
    void onReport(const QString &report);
    void onActivated();
    void refuseChallenge(const QUrl &url);
    bool movedOn(int index) const;
    // A new document holds the history's current entry.
    void noteArrival(NavigationType type);

    // Main-frame addresses let through whose document has not arrived yet,
    // and whether a load is still on its way to them.
    QList<QUrl> m_arriving;
    bool m_loading = false;
    bool m_userNext = false;
    bool m_byItself = false;
    std::optional<QUrl> m_challenged;
    bool m_heldDocument = false;
    // Known only to the reports of this page's documents.
    QString m_token;
    // The current document has had a gesture of the user's.
    bool m_activated = false;
    // How the last main-frame navigation let through came about.
    NavigationType m_lastNavigation = NavigationTypeTyped;
    int m_index = -1; // the history's current entry when the last document arrived
    // Entries whose documents moved on by themselves, with the address each held.
    QHash<int, QUrl> m_movedOn;
};

} // namespace WexoCreator
