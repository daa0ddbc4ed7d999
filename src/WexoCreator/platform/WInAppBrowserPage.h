#pragma once

#include <QUrl>
#include <QWebEnginePage>

namespace WexoCreator {

// The in-app page's web page with the library's rules: only web addresses,
// certificate errors refused, no pop-ups but user-initiated web ones (handed
// on), every permission and file choice denied, the page's console to the
// library's log.
class WInAppBrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit WInAppBrowserPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    static bool isWebAddress(const QUrl &url);

    // The next navigation to a data address is the reader face's own load.
    void expectReaderLoad(bool expect) { m_expectReaderLoad = expect; }
    // While the reader face is up, it goes nowhere by itself; only a clicked
    // link (and the redirects it takes) may replace it.
    void setReaderFace(bool reader)
    {
        m_readerFace = reader;
        m_readerLinkFollowed = false;
        m_historyStepAsked = false;
    }
    // The user asked for a step through the history from the reader face
    // (Forward): it is followed as a clicked link is.
    void askHistoryStep() { m_historyStepAsked = true; }
    // A link clicked in the reader face (or the history step asked from it)
    // is on its way; its document, if it brings one, is the next one shown.
    bool followsReaderLink() const { return m_readerLinkFollowed; }

Q_SIGNALS:
    // A user-initiated pop-up.
    void openElsewhere(const QUrl &url);
    // The reader face lets a clicked link or an asked history step go on its way.
    void readerLinkClicked(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    bool m_expectReaderLoad = false;
    bool m_readerFace = false;
    bool m_readerLinkFollowed = false;
    bool m_historyStepAsked = false;
};

} // namespace WexoCreator
