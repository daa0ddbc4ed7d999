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

// After a first contentful paint (its frame committed) the engine takes up
// to three frames to show it: those between still hold the picture before.
// A still page renders no more frames; one a while after the last counts.
constexpr int kPaintFrames = 3;
constexpr int kPaintQuietMs = 60;
// The engine reports a document's extent once its first frame is ready for
// the view: the next frame the view renders shows it, or the one after when
// the view was already to render one (the engine's frame before). Where
// none comes, the view rendered it before the report was handled.
constexpr int kExtentQuietMs = 40;
constexpr int kPendingQuietMs = 150;

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
    , m_settle(new QTimer(this))
{
    for (QTimer *timer : {m_deadline, m_settle})
        timer->setSingleShot(true);
    connect(m_settle, &QTimer::timeout, this, &WInAppBrowserPaintWatch::finish);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        m_lapsed = true;
        finish();
    });
    m_deadline->setInterval(kDeadlineMs);
    if (m_page) {
        // Every new document reports itself (one under the same address, a
        // reload, only this way), often before the page's address changes.
        connect(m_page, &WInAppBrowserPage::documentCreated, this, [this](const QUrl &url) {
            watch();
            m_createdUrl = url;
            m_createdAtArrival = m_arrivals;
        });
        connect(m_page, &WInAppBrowserPage::documentPainted, this, [this] { sign(Sign::painted); });
        connect(m_page, &QWebEnginePage::contentsSizeChanged, this, [this] { sign(Sign::extent); });
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] { sign(Sign::extent); });
    }
}

void WInAppBrowserPaintWatch::watch()
{
    stop();
    m_state = State::waiting;
    m_deadline->start();
    followSurface();
}

bool WInAppBrowserPaintWatch::arrived(const QUrl &url)
{
    // Watched since the document reported itself (after the arrival before
    // this one): what came since (its first frame may have, on a busy
    // machine) still counts.
    const bool reported = createdSinceArrival() && m_createdUrl == url;
    ++m_arrivals;
    if (!reported)
        watch();
    return reported;
}

void WInAppBrowserPaintWatch::stop()
{
    m_state = State::idle;
    m_sign = Sign::none;
    m_lapsed = false;
    m_deadline->stop();
    m_settle->stop();
    dropSurface();
}

void WInAppBrowserPaintWatch::sign(Sign kind)
{
    // The extent, once reported, is the nearer sign.
    if (!watching() || m_sign == Sign::extent || kind == m_sign)
        return;
    followSurface();
    followItems();
    m_sign = kind;
    m_state = State::settling;
    if (kind == Sign::extent) {
        m_framesToGo = m_framePending ? 2 : 1;
        m_quietMs = m_framePending ? kPendingQuietMs : kExtentQuietMs;
    } else {
        m_framesToGo = kPaintFrames;
        m_quietMs = kPaintQuietMs;
    }
    m_settle->start(m_quietMs);
}

void WInAppBrowserPaintWatch::onFrame()
{
    followItems();
    // Only a frame of the engine's counts: the view also renders when shown
    // or resized, with what it had (a new view, nothing: white).
    if (!std::exchange(m_framePending, false) || m_state != State::settling)
        return;
    if (--m_framesToGo <= 0)
        finish();
    else
        m_settle->start(m_quietMs);
}

bool WInAppBrowserPaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    // The engine hands its frames to the view's scene by a queued update of its item.
    if (event->type() == QEvent::MetaCall)
        m_framePending = true;
    return QObject::eventFilter(watched, event);
}

void WInAppBrowserPaintWatch::finish()
{
    if (!watching())
        return;
    const bool lapsed = m_lapsed;
    stop();
    m_state = State::shown;
    m_lapsed = lapsed;
    emit documentShown();
}

void WInAppBrowserPaintWatch::followSurface()
{
    auto *surface = m_view ? qobject_cast<QQuickWidget *>(m_view->focusProxy()) : nullptr;
    if (surface == m_surface && m_frames)
        return;
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
