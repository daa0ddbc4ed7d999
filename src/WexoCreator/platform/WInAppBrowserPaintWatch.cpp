#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include "WexoCreator/platform/WInAppBrowserPage.h"

#include <QChildEvent>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <QWebEngineView>

namespace WexoCreator {

namespace {

// After a first contentful paint the engine takes up to three frames to show
// it (the frames between still hold the picture before)...
constexpr int kPaintFrames = 3;
constexpr int kPaintMs = 60;
// ...and one or two after the document's own extent reached it.
constexpr int kExtentFrames = 2;
constexpr int kExtentMs = 30;

} // namespace

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
        // A reload, or any document under the same address, arrives this way only.
        connect(m_page, &WInAppBrowserPage::documentCreated, this, [this] {
            if (m_state != State::idle)
                watch();
        });
        connect(m_page, &WInAppBrowserPage::documentPainted, this, [this] { sign(kPaintFrames, kPaintMs); });
        connect(m_page, &QWebEnginePage::contentsSizeChanged, this, [this] { sign(kExtentFrames, kExtentMs); });
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] { sign(kExtentFrames, kExtentMs); });
    }
}

void WInAppBrowserPaintWatch::watch()
{
    stop();
    m_state = State::waiting;
    m_deadline->start();
    followSurface();
}

void WInAppBrowserPaintWatch::stop()
{
    m_state = State::idle;
    m_lapsed = false;
    m_deadline->stop();
    m_settle->stop();
    dropSurface();
}

void WInAppBrowserPaintWatch::sign(int frames, int ms)
{
    if (!watching())
        return;
    // The nearer of two signs holds.
    if (m_state == State::settling && m_framesToGo <= frames && m_settle->remainingTime() <= ms)
        return;
    m_state = State::settling;
    m_framesToGo = frames;
    m_settle->start(ms);
    followSurface();
}

void WInAppBrowserPaintWatch::onFrame()
{
    if (m_state == State::settling && --m_framesToGo <= 0)
        finish();
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
    if (surface && surface->quickWindow())
        m_frames = connect(surface->quickWindow(), &QQuickWindow::afterRendering, this, &WInAppBrowserPaintWatch::onFrame);
}

void WInAppBrowserPaintWatch::dropSurface()
{
    disconnect(m_frames);
    m_frames = {};
    m_surface = nullptr;
}

} // namespace WexoCreator
