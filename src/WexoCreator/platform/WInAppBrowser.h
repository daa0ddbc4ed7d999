#pragma once

#include "WexoCreator/platform/WReaderFace.h"
#include "WexoCreator/platform/WViewController.h"

#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineView>

#include <memory>
#include <optional>

class QProgressBar;
class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace WexoCreator {

class WInAppBrowserBar;
class WInAppBrowserMessage;
class WInAppBrowserPage;
class WInAppBrowserPaintWatch;

// The platform's in-app browser: one web page over the host window, in a
// profile of its own that keeps nothing on disk, with a bar (Done, back,
// forward, reload, title and host, reader toggle, "Open in browser") and a
// thin progress line. The page view holds the documents the user visits, and
// its history is the only one: Back and Forward walk it, and a reader face
// comes back where the user left it. A document that offers an article shows
// in the reader face, laid over the page view, unless the user turned Reader
// off on it (or acted on its page while a slow reader face was awaited). Each
// new document shows on blank paper until its face is on screen (a watch on
// each view tells, and a deadline ends the wait), so nothing of the document
// before shows under its name. A view covered by the face shown rests, as a
// browser's tab in the background. The bar always names the page view's
// document. Failures show a plain-text message, never an empty page.
class WInAppBrowser : public WViewController
{
    Q_OBJECT

public:
    enum class Face { page, reader, message, paper };

    explicit WInAppBrowser(const QUrl &url, QObject *parent = nullptr);
    ~WInAppBrowser() override;

    // The page view and its page, and the reader face (absent until the first article).
    QWebEngineView *webView() const { return m_web; }
    WInAppBrowserPage *page() const { return m_page.get(); }
    WReaderFace *readerFace() const { return m_reader; }
    Face face() const { return m_face; }
    QString messageText() const;
    // The address of the page view's document, which every face names.
    QUrl pageUrl() const;

    void close();
    void showReader(bool reader);
    // The bar's Back and Forward: always go somewhere while enabled, never to
    // a document that moved on by itself.
    void goBack();
    void goForward();
    void reload();
    // Hands the address to the system browser; says so in the page when that fails.
    void openInSystemBrowser(const QUrl &url);

Q_SIGNALS:
    // A document's face has settled once it was looked at, or the user
    // turned Reader off or on: whether its reader face is up.
    void readerChecked(bool readable);
    void messageShown(const QString &text);
    void faceChanged(WexoCreator::WInAppBrowser::Face face);

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onUrlChanged(const QUrl &url);
    // A new document in the page view: paper until its face is painted.
    void arrive();
    void onLoadEnded(const QWebEngineLoadingInfo &info);
    // The document has been read in: looked at for an article, or shown as
    // soon as painted where it cannot be one.
    void onParsed(bool mayBeArticle);
    void examineForReader();
    void onExamined(const WReaderFace::Examination &examination);
    void makeReaderFace();
    // The reader face has painted its article, or not in time.
    void onReaderPainted(bool painted);
    // The article on its way or in the reader face is gone: the page shows.
    void forgetArticle();
    // While a reader face painted late is awaited: a click, key, wheel or
    // touch on the page view means the user reads the page.
    static bool isActingOnPage(QEvent::Type type);
    void onActedOnPage();
    void forgetActing();
    // Where the user left the reader face of the history's entry being left,
    // and of the current one (absent where it was never left there).
    void keepReadingPlace();
    std::optional<double> readingPlace() const;
    void loadArticle();
    // Shows the face the page view's document has come to: its reader face
    // once painted when it offers an article the user wants, else its page
    // once painted, and paper until then.
    void settle();
    Face faceFor(bool wantsReader) const;
    // Shows one of the faces; the keys follow it unless the user put them in the bar.
    void showFace(Face face);
    // The widget that shows a face, or takes the keys on it.
    QWidget *faceWidget(Face face) const;
    // The views the faces need: the one shown, and under it those painting
    // a document to be shown next; the shown face takes the keys if asked.
    void arrangeViews(bool giveKeys = false);
    // Opaque to Qt's painting, filled with the reader's paper.
    static void fillWithPaper(QWidget *widget);
    // The views covered by the face shown rest, unless painting a document.
    void restCoveredViews();
    // A view that rested has woken for the face waiting for it.
    void onWoken();
    void showMessage(const QString &text, const QUrl &url);
    void updateBar();
    void release();

    // Deleted in this order, a turn after the page goes: views, page, profile
    // (a profile must outlive its pages).
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<WInAppBrowserPage> m_page;
    QPointer<QWebEngineView> m_web;
    QPointer<WReaderFace> m_reader;
    QPointer<QWidget> m_faces;
    QPointer<QWidget> m_paper;
    QPointer<WInAppBrowserBar> m_bar;
    QPointer<WInAppBrowserMessage> m_message;
    QPointer<QProgressBar> m_progress;
    WInAppBrowserPaintWatch *m_pagePainted = nullptr;
    WInAppBrowserPaintWatch *m_readerPainted = nullptr;
    // Runs from a new document's page being painted before it was looked
    // at: its page face shows once it has run (m_pageDue).
    QTimer *m_patience = nullptr;
    bool m_pageDue = false;
    // The document cannot be an article: its page shows as soon as painted.
    bool m_plain = false;
    // Whether a document read in before its address came may be an article.
    std::optional<bool> m_parsedAhead;
    // The page view's document is new and none of its faces has shown yet.
    bool m_arrival = false;
    QUrl m_firstUrl;
    QUrl m_shownUrl; // the page view's address as last reported
    Face m_face = Face::paper;
    // The face to show once its view has woken from its rest.
    std::optional<Face> m_faceAfterWake;
    // The face under a message that stands over the page view's document
    // (the link followed from it was stopped): Back shows it again.
    std::optional<Face> m_overFace;
    // The page view's document, told apart by the number it keeps (the
    // reader library's look at it; 0 until looked at), and what that look
    // found: its article when it offers one that the reader face can take.
    bool m_lookedAt = false;
    qint64 m_document = 0;
    std::optional<WReaderFace::Article> m_article;
    // The Reader button: whether the user wants this document's reader face;
    // and whether readerChecked told the face it settled on since.
    bool m_readerWanted = true;
    bool m_checked = false;
    // The document whose article the reader face shows, painted; and the one
    // on its way there.
    qint64 m_readerDocument = 0;
    qint64 m_articleDocument = 0;
    // The article the reader face holds (or is painting), and its address.
    std::optional<WReaderFace::Article> m_readerArticle;
    QUrl m_readerAddress;
    // The reader face was not painted by the deadline: it shows once painted
    // unless the user acts on the page first (on this surface of it).
    bool m_readerLate = false;
    QPointer<QWidget> m_actedOn;
    // The history's entry of the reader face shown, and where the user left
    // reader faces, by entry (with the entry's address then).
    struct ReadingPlace {
        QUrl url;
        double y = 0;
    };
    int m_readingEntry = -1;
    QHash<int, ReadingPlace> m_readingPlaces;
    // The page view's document came by Back or Forward.
    bool m_arrivedByHistory = false;
    // Counts the documents the page view has shown: a look at one, or its
    // article, that answers once it has gone is dropped.
    int m_documentSerial = 0;
    int m_articleSerial = -1;
    bool m_loading = false; // the page view's, as its loads start and end
    bool m_focusGiven = false;
    QPointer<QWidget> m_activeBefore; // the active window when the page was asked for
};

} // namespace WexoCreator
