#pragma once

#include "WexoCreator/platform/WViewController.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineView>

#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace WexoCreator {

class WInAppBrowserPage;

// The platform's in-app browser: one web page over the host window, in a
// profile of its own that keeps nothing on disk, with a bar (Done, back,
// forward, reload, title and host, reader toggle, "Open in browser") and a
// thin progress line. A readable page is shown in a plain reader face with
// scripts off. Failures show a plain-text message, never an empty page.
class WInAppBrowser : public WViewController
{
    Q_OBJECT

public:
    enum class Face { page, reader, message };

    // Largest document setHtml takes (as the data address it becomes).
    static constexpr qsizetype kSetHtmlLimit = 2 * 1024 * 1024;

    explicit WInAppBrowser(const QUrl &url, QObject *parent = nullptr);
    ~WInAppBrowser() override;

    // The reader library was embedded at build time.
    static bool readerAvailable();
    // The reader face's document for an article, absent when setHtml could not take it.
    static std::optional<QString> readerDocument(const QString &title, const QString &byline, const QString &content);

    QWebEngineView *webView() const { return m_web; }
    WInAppBrowserPage *page() const { return m_page.get(); }
    Face face() const { return m_face; }
    QString messageText() const;
    // The address the page face shows (also while the reader face is up).
    QUrl pageUrl() const { return m_pageUrl; }

    void close();
    void showReader(bool reader);
    // Hands the address to the system browser; says so in the page when that fails.
    void openInSystemBrowser(const QUrl &url);

Q_SIGNALS:
    // A page load was examined: readable or not (reader face shown or not).
    void readerChecked(bool readable);
    void messageShown(const QString &text);

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBar(QWidget *bar);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onLoadFinished(const QWebEngineLoadingInfo &info);
    void examineForReader();
    void loadReaderDocument();
    // Whether an address reported while the reader face is up is another document's.
    bool replacesReaderFace(const QUrl &url) const;
    // The current history entry is the reader's document (or a part of it):
    // kept with the page it was made from.
    void rememberReaderEntry();
    // The page a reader document in the history was made from, when the entry
    // before the current one is such a document.
    std::optional<QUrl> articleBehind() const;
    // Back to that entry: the article in its reader face again.
    void backToReaderFace(const QUrl &article);
    // Scripts off and no navigation of its own; leaving turns scripts back on.
    void enterReaderFace();
    void leaveReaderFace();
    void showMessage(const QString &text, const QUrl &url);
    void updateBar();
    void elideTitle();
    void release();

    // Deleted in this order: view, page, profile (a profile must outlive its page).
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<WInAppBrowserPage> m_page;
    QPointer<QWebEngineView> m_web;
    QPointer<QStackedWidget> m_faces;
    QPointer<QLabel> m_title;
    QPointer<QLabel> m_host;
    QPointer<QLabel> m_message;
    QPointer<QPushButton> m_messageOpen;
    QPointer<QProgressBar> m_progress;
    QPointer<QToolButton> m_back;
    QPointer<QToolButton> m_forward;
    QPointer<QToolButton> m_reader;
    QUrl m_pageUrl;
    QUrl m_messageUrl;
    QString m_readerTitle;
    QString m_fullTitle;
    Face m_face = Face::page;
    bool m_skipReaderOnce = false;
    QString m_readerDocument; // until its load is reported, for one more try
    // The history's reader documents, by index, and the page each was made from.
    QHash<int, QUrl> m_readerEntries;
    bool m_focusGiven = false;
    QPointer<QWidget> m_activeBefore; // the active window when the page was asked for
    int m_loadSerial = 0;
};

} // namespace WexoCreator
