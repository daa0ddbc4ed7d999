#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include "WexoCreator/platform/WInAppBrowserPage.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <QWebEngineView>

#include <utility>

namespace WexoCreator {

namespace {

// The engine hands the view a frame within a few of the host's frames of
// telling that one is ready; a host that keeps its GUI thread busy renders
// it later, and so does a still page whose frame came before the report.
// Past this, a frame is asked for.
constexpr int kFrameWaitMs = 100;
// A document that tells nothing for this long may have painted a picture
// the engine gave no sign of (only a background, or the same extent as the
// document before): a frame is asked for.
constexpr int kSignWaitMs = 400;
// Asking more often than this for one document would only make the page
// view resize on and on (a page that never paints shows blank as it is).
constexpr int kMostAsks = 3;

} // namespace

// The engine's items come from a library built without run-time type
// information, so the undefined-behaviour checker cannot tell their type
// when they are called through QObject or QQuickItem.
#if defined(__GNUC__) || defined(__clang__)
#define WEXO_CALLS_ENGINE_ITEMS __attribute__((no_sanitize("vptr")))
#else
#define WEXO_CALLS_ENGINE_ITEMS
#endif

WInAppBrowserPaintWatch::WInAppBrowserPaintWatch(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_page(qobject_cast<WInAppBrowserPage *>(view->page()))
    , m_deadline(new QTimer(this))
    , m_nudge(new QTimer(this))
{
    for (QTimer *timer : {m_deadline, m_nudge})
        timer->setSingleShot(true);
    connect(m_nudge, &QTimer::timeout, this, &WInAppBrowserPaintWatch::askForFrame);
    connect(m_deadline, &QTimer::timeout, this, &WInAppBrowserPaintWatch::onDeadline);
    m_deadline->setInterval(kDeadlineMs);
    if (m_page) {
        // Every new document reports itself (one under the same address, a
        // reload, only this way), often before the page's address changes.
        connect(m_page, &WInAppBrowserPage::documentCreated, this, &WInAppBrowserPaintWatch::onCreated);
        connect(m_page, &WInAppBrowserPage::documentPainted, this, [this](bool committed) { sign(committed ? 1 : 2); });
        connect(m_page, &QWebEnginePage::contentsSizeChanged, this, [this] { sign(1); });
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] { sign(1); });
        // From a load's start, the frames the engine hands the view may be the
        // coming document's (on a busy host, even before its address comes).
        connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
            m_seen = 0;
            m_seenHere = 0;
            followSurface();
        });
    }
}

void WInAppBrowserPaintWatch::watch()
{
    // The surface followed stays: a frame it is about to render may be the document's.
    ++m_round;
    m_state = State::waiting;
    m_lapsed = false;
    m_asked = 0;
    m_nudge->stop();
    m_deadline->start();
    followSurface();
    // A frame came without a sign of the document: it may be its picture.
    if (m_seen > 0)
        m_nudge->start(kSignWaitMs);
}

void WInAppBrowserPaintWatch::onCreated(const QUrl &url)
{
    if (!m_arrivedReported && !m_aheadUrl && url == m_arrivedUrl) {
        // The document that arrived, its report come after its address.
        m_arrivedReported = true;
    } else if (m_page && url != m_page->url()) {
        m_aheadUrl = url;
    } else {
        // Another document under the page's address: a reload, a link to itself.
        m_aheadUrl.reset();
        m_arrivedReported = true;
    }
    watch();
}

bool WInAppBrowserPaintWatch::arrived(const QUrl &url)
{
    // Watched since the document reported itself: what came since (its
    // first frame may have, on a busy machine) still counts.
    const bool reported = m_aheadUrl == url;
    m_aheadUrl.reset();
    m_arrivedUrl = url;
    m_arrivedReported = reported;
    if (!reported)
        watch();
    // The document before fitted the view unscrolled: a new one that does too
    // would report the same extent with its first frame, which is then no
    // sign. Another size makes it one, even where the document's script keeps
    // it busy from its first paint on (nothing else would tell then).
    const QSizeF before = m_page ? m_page->contentsSize() : QSizeF();
    if (m_view && !before.isEmpty() && before.height() <= m_view->height() && m_page->scrollPosition().isNull())
        askForFrame();
    return reported;
}

void WInAppBrowserPaintWatch::stop()
{
    m_state = State::idle;
    m_lapsed = false;
    m_deadline->stop();
    m_nudge->stop();
    dropSurface();
}

void WInAppBrowserPaintWatch::sign(int frames)
{
    if (!watching())
        return;
    followSurface();
    followItems();
    // Taken once what is already queued has been handled: the engine's
    // frames drawn before the document's (the picture before, drawn anew at
    // another size or as the view showed again) may still be on their way
    // to the view behind the sign, which comes by another route.
    QMetaObject::invokeMethod(this, [this, frames, round = m_round] {
        if (round == m_round)
            takeSign(frames);
    }, Qt::QueuedConnection);
}

void WInAppBrowserPaintWatch::takeSign(int frames)
{
    if (!watching())
        return;
    // A frame the view was already to render is the engine's frame before.
    // Each sign tells how near the document's frame is: the nearest holds.
    frames += m_framePending ? 1 : 0;
    m_framesToGo = m_state == State::settling ? qMin(m_framesToGo, frames) : frames;
    m_state = State::settling;
    // Where a frame came before the sign, the one it tells of may have been
    // it: a still page sends no more. Else it is on its way.
    if (m_seen > 0)
        m_nudge->start(kFrameWaitMs);
    else
        m_nudge->stop();
}

void WInAppBrowserPaintWatch::onFrame()
{
    followItems();
    // Only a frame of the engine's counts: the view also renders when shown
    // or resized, with what it had (a new view, nothing: white).
    if (!std::exchange(m_framePending, false))
        return;
    ++m_seen;
    ++m_seenHere;
    if (m_state == State::waiting && !m_nudge->isActive())
        m_nudge->start(kSignWaitMs);
    if (m_state != State::settling)
        return;
    if (--m_framesToGo <= 0)
        finish();
    else
        m_nudge->start(kFrameWaitMs);
}

bool WInAppBrowserPaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    // The engine hands its frames to the view's scene by a queued update of its item.
    if (event->type() == QEvent::MetaCall)
        m_framePending = true;
    return QObject::eventFilter(watched, event);
}

void WInAppBrowserPaintWatch::onDeadline()
{
    if (!watching())
        return;
    // Frames of a surface no document was shown on (the view's first, or a
    // new renderer's) can only be this document's.
    if (m_seenHere > 0 && m_surface != m_shownSurface) {
        finish();
        return;
    }
    m_lapsed = true;
    askForFrame();
    emit documentLapsed();
}

void WInAppBrowserPaintWatch::askForFrame()
{
    if (!m_view || !watching() || m_asked >= kMostAsks)
        return;
    ++m_asked;
    // Another size makes the engine send a frame of the document at that
    // size, with its extent, once it has one to send: that frame can only be
    // this document's.
    m_shorter = !m_shorter;
    m_view->setContentsMargins(0, 0, 0, m_shorter ? 1 : 0);
    followSurface();
}

void WInAppBrowserPaintWatch::finish()
{
    if (!watching())
        return;
    const bool lapsed = m_lapsed;
    m_shownSurface = m_surface;
    stop();
    m_state = State::shown;
    m_lapsed = lapsed;
    // Its place again (the document is shown: its next frame is its own).
    if (std::exchange(m_shorter, false) && m_view)
        m_view->setContentsMargins(0, 0, 0, 0);
    emit documentShown();
}

void WInAppBrowserPaintWatch::followSurface()
{
    auto *surface = m_view ? qobject_cast<QQuickWidget *>(m_view->focusProxy()) : nullptr;
    if (surface == m_surface && m_frames)
        return;
    if (surface != m_surface)
        m_seenHere = 0;
    dropSurface();
    m_surface = surface;
    if (!surface || !surface->quickWindow())
        return;
    m_frames = connect(surface->quickWindow(), &QQuickWindow::afterRendering, this, &WInAppBrowserPaintWatch::onFrame);
    followItems();
}

WEXO_CALLS_ENGINE_ITEMS void WInAppBrowserPaintWatch::followItems()
{
    // A new view's scene gets the item that shows the engine's frames once
    // the engine first draws.
    if (!m_surface || !m_surface->quickWindow())
        return;
    QList<QQuickItem *> items = m_surface->quickWindow()->contentItem()->childItems();
    while (!items.isEmpty()) {
        QQuickItem *item = items.takeLast();
        items += item->childItems();
        if (m_items.contains(item))
            continue;
        item->installEventFilter(this);
        m_items.append(item);
    }
}

WEXO_CALLS_ENGINE_ITEMS void WInAppBrowserPaintWatch::dropSurface()
{
    disconnect(m_frames);
    m_frames = {};
    for (const QPointer<QObject> &item : std::as_const(m_items)) {
        if (item)
            item->removeEventFilter(this);
    }
    m_items.clear();
    m_surface = nullptr;
    m_framePending = false;
}

} // namespace WexoCreator
