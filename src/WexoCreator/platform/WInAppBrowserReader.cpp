// The in-app page's reader face, and which face a document shows: how a
// document is looked at for an article, how the article gets into the reader
// face, and the face each state of the two calls for. Kept apart from the
// page's set-up, loads, history and bar.
#include "WexoCreator/platform/WInAppBrowser.h"

#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QStackedLayout>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <utility>

namespace WexoCreator {

namespace {

bool sameArticle(const WReaderFace::Article &one, const WReaderFace::Article &other)
{
    return one.title == other.title && one.byline == other.byline && one.content == other.content;
}

} // namespace

void WInAppBrowser::onParsed(bool mayBeArticle)
{
    // One that cannot be an article shows as soon as it is painted, and is
    // looked at once loaded (the look would hold up its first paint).
    m_plain = !mayBeArticle;
    if (mayBeArticle)
        examineForReader();
    else
        settle();
}

void WInAppBrowser::examineForReader()
{
    if (!WReaderFace::available()) {
        m_lookedAt = true;
        settle();
        return;
    }
    const int serial = m_documentSerial;
    WReaderFace::examine(m_page.get(), this, [this, serial](const WReaderFace::Examination &examination) {
        // The answer of a document that has gone, or of a look at a page that
        // failed since, changes nothing.
        if (m_page && serial == m_documentSerial && m_face != Face::message)
            onExamined(examination);
    });
}

void WInAppBrowser::onExamined(const WReaderFace::Examination &examination)
{
    // Another document under the same address (a reload) is one of its own.
    if (examination.document != m_document) {
        m_readerWanted = true;
        m_checked = false;
    }
    m_lookedAt = true;
    m_document = examination.document;
    m_article.reset();
    if (examination.article && WReaderFace::document(*examination.article))
        m_article = examination.article;
    else if (examination.article)
        qCDebug(lcPlatform) << "article too large for the reader face; showing the page";
    const bool onItsWay = m_articleSerial == m_documentSerial && m_articleDocument == m_document;
    if (m_article && m_readerWanted && m_readerDocument != m_document && !onItsWay) {
        // The same article at the same address (a reload, a link to itself,
        // Back to it): the reader face holds it already, where the user left it.
        if (m_readerDocument != 0 && m_articleSerial < 0 && m_readerArticle && sameArticle(*m_readerArticle, *m_article)
            && m_readerAddress == m_page->url())
            m_readerDocument = m_document;
        else
            loadArticle();
    }
    settle();
}

void WInAppBrowser::loadArticle()
{
    // Already on its way.
    if (m_articleSerial == m_documentSerial && m_articleDocument == m_document)
        return;
    if (!m_reader)
        makeReaderFace();
    m_articleDocument = m_document;
    m_articleSerial = m_documentSerial;
    m_readerDocument = 0;
    m_readerLate = false;
    m_readerArticle = m_article;
    m_readerAddress = m_page->url();
    // Painted under the face shown, then shown; where Back or Forward
    // brought the document, at the place the user left its reader face.
    m_readerPainted->watch();
    m_reader->showArticle(*m_article, m_readerAddress, m_arrivedByHistory ? readingPlace() : std::nullopt);
}

void WInAppBrowser::makeReaderFace()
{
    m_reader = new WReaderFace(m_page->profile(), m_faces);
    fillWithPaper(m_reader);
    static_cast<QStackedLayout *>(m_faces->layout())->addWidget(m_reader);
    // Added on top: under the face shown again.
    arrangeViews();
    m_readerPainted = new WInAppBrowserPaintWatch(m_reader, this);
    connect(m_readerPainted, &WInAppBrowserPaintWatch::watchingChanged, this, &WInAppBrowser::restCoveredViews);
    connect(m_readerPainted, &WInAppBrowserPaintWatch::woken, this, &WInAppBrowser::onWoken);
    m_reader->installEventFilter(this);
    // Its images and frames may go on loading: the face shows once its text is painted.
    connect(m_reader, &WReaderFace::articleShown, this, [this](bool ok) {
        if (!ok && m_page && m_articleSerial == m_documentSerial)
            forgetArticle();
    });
    connect(m_readerPainted, &WInAppBrowserPaintWatch::documentShown, this, [this] { onReaderPainted(true); });
    connect(m_readerPainted, &WInAppBrowserPaintWatch::documentLapsed, this, [this] { onReaderPainted(false); });
    // Followed as a click in the document would be: an entry of the history.
    connect(m_reader, &WReaderFace::linkClicked, this, [this](const QUrl &url) {
        if (m_page)
            m_page->load(url);
    });
    connect(m_reader, &WReaderFace::openElsewhere, this, &WInAppBrowser::openInSystemBrowser, Qt::QueuedConnection);
    // Its article is gone with it: the document shows as a page.
    connect(m_reader->page(), &QWebEnginePage::renderProcessTerminated, this, &WInAppBrowser::forgetArticle);
}

void WInAppBrowser::onReaderPainted(bool painted)
{
    if (m_articleSerial != m_documentSerial || m_articleDocument != m_document)
        return;
    if (!painted) {
        // Not painted in time (a new renderer on a busy machine): the page
        // shows meanwhile, and the reader face once it is painted, unless
        // the user acts on the page first.
        m_readerLate = true;
        m_actedOn = m_web->focusProxy();
        if (m_actedOn)
            m_actedOn->installEventFilter(this);
        settle();
        return;
    }
    m_articleSerial = -1;
    m_readerDocument = m_articleDocument;
    // Settled on its page meanwhile: it settles again, on its reader face.
    if (std::exchange(m_readerLate, false))
        m_checked = false;
    forgetActing();
    settle();
}

bool WInAppBrowser::isActingOnPage(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress || type == QEvent::TouchBegin;
}

void WInAppBrowser::onActedOnPage()
{
    // The user is reading the page: a reader face painted late no longer takes its place.
    forgetActing();
    if (!std::exchange(m_readerLate, false))
        return;
    m_readerWanted = false;
    settle();
}

void WInAppBrowser::forgetActing()
{
    if (m_actedOn)
        m_actedOn->removeEventFilter(this);
    m_actedOn = nullptr;
}

void WInAppBrowser::keepReadingPlace()
{
    const int entry = std::exchange(m_readingEntry, -1);
    if (m_face != Face::reader || entry < 0 || !m_reader || entry >= m_page->history()->count())
        return;
    const QUrl url = m_page->history()->itemAt(entry).url();
    m_reader->page()->runJavaScript(QStringLiteral("scrollY"), QWebEngineScript::ApplicationWorld,
                                    [self = QPointer<WInAppBrowser>(this), entry, url](const QVariant &y) {
                                        if (self && y.canConvert<double>())
                                            self->m_readingPlaces.insert(entry, {url, y.toDouble()});
                                    });
}

std::optional<double> WInAppBrowser::readingPlace() const
{
    const int entry = m_page->history()->currentItemIndex();
    const auto place = m_readingPlaces.constFind(entry);
    if (place == m_readingPlaces.constEnd() || place->url != m_page->history()->itemAt(entry).url())
        return std::nullopt;
    return place->y;
}

void WInAppBrowser::forgetArticle()
{
    m_readerPainted->stop();
    m_article.reset();
    m_readerArticle.reset();
    m_readerLate = false;
    forgetActing();
    m_readerDocument = 0;
    m_articleSerial = -1;
    settle();
}

void WInAppBrowser::showReader(bool reader)
{
    if (!m_page)
        return;
    // The last click holds, whatever was on its way.
    m_readerWanted = reader;
    m_readerLate = false;
    forgetActing();
    m_checked = false;
    if (reader && m_article && m_readerDocument != m_document)
        loadArticle();
    settle();
}

void WInAppBrowser::settle()
{
    if (!m_page || !m_faces || m_face == Face::message)
        return;
    // A reader face painted late shows once painted; the page meanwhile.
    const bool wantsReader = m_lookedAt && m_article && m_readerWanted && !m_readerLate;
    const Face face = faceFor(wantsReader);
    if (face == Face::reader && m_readingEntry < 0)
        m_readingEntry = m_page->history()->currentItemIndex();
    if (face == Face::page || face == Face::reader)
        m_arrival = false;
    // A face that was to show once its view woke gives way to the one wanted
    // now (the last Reader click holds), also where that one is up already.
    if (face != m_face || m_faceAfterWake)
        showFace(face);
    updateBar();
    // Whether the page's picture may show follows what the document wants too.
    restCoveredViews();
    // The face waits for its view to wake: it settles once shown.
    if (face != m_face)
        return;
    // A page not shown in time has settled on its page all the same (blank
    // until the view holds a picture of it).
    const bool settled = m_lookedAt
        && ((face == Face::reader && wantsReader && m_readerDocument == m_document)
            || (!wantsReader && (face == Face::page || m_pagePainted->lapsed())));
    if (settled && !std::exchange(m_checked, true))
        emit readerChecked(face == Face::reader);
}

WInAppBrowser::Face WInAppBrowser::faceFor(bool wantsReader) const
{
    if (wantsReader && m_readerDocument == m_document)
        return Face::reader;
    // A new document: paper until its face is painted. Its page once it
    // offers no article the user wants, or once it has kept them waiting;
    // never before the view holds a picture of it.
    const bool pageReady = m_pagePainted->shown() && (m_lookedAt || m_pageDue || m_plain);
    if (m_arrival)
        return pageReady && !wantsReader ? Face::page : Face::paper;
    // A page shown keeps showing, also while its article is on its way.
    if (m_face == Face::page)
        return Face::page;
    // Reader off: the article's reader face stays until its page has a
    // picture (or has kept the user waiting), never paper between them.
    if (m_face == Face::reader && m_readerDocument == m_document && !m_pagePainted->shown() && !m_pagePainted->lapsed())
        return Face::reader;
    // The reader face of an article the document no longer offers.
    return m_pagePainted->shown() && !wantsReader ? Face::page : Face::paper;
}

} // namespace WexoCreator
