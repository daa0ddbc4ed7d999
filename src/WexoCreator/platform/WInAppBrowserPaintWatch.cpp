#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include <QQuickWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace WexoCreator {

namespace {

// Read in the application's script world, where the page cannot change it.
const char *const kFirstContentfulPaint
    = "performance.getEntriesByType('paint').some(function (entry) { return entry.name == 'first-contentful-paint'; })";
// About a frame.
constexpr int kLookMs = 16;
// A document still loading is first looked at after this.
constexpr int kFirstLookMs = 500;
// The engine holds the picture before for at most half a second.
constexpr int kHoldMs = 600;
// A document that looks like the picture before is taken as shown after this.
constexpr int kLookAlikeMs = 300;

} // namespace

WInAppBrowserPaintWatch::WInAppBrowserPaintWatch(QWebEngineView *view, int newSurfaceHoldMs, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_newSurfaceHoldMs(newSurfaceHoldMs)
    , m_poll(new QTimer(this))
    , m_settle(new QTimer(this))
{
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &WInAppBrowserPaintWatch::poll);
    m_settle->setSingleShot(true);
    m_settle->setInterval(kLookMs);
    connect(m_settle, &QTimer::timeout, this, &WInAppBrowserPaintWatch::settle);
}

void WInAppBrowserPaintWatch::expect()
{
    stop();
    m_before = surface();
    m_pictureBefore = picture(m_before);
    m_expected = true;
}

void WInAppBrowserPaintWatch::watch()
{
    const bool expected = m_expected;
    stop();
    m_state = State::waiting;
    m_watched.start();
    if (!expected) {
        m_before = surface();
        m_pictureBefore = picture(m_before);
    }
    // Looks begin once the document has loaded (its first paint comes about
    // then), or a while after it came if it is still loading.
    m_poll->start(kFirstLookMs);
}

void WInAppBrowserPaintWatch::documentLoaded()
{
    m_loaded = true;
    if (m_state == State::waiting && !m_asking) {
        m_poll->stop();
        poll();
    }
}

void WInAppBrowserPaintWatch::stop()
{
    m_expected = false;
    // An answer still on its way belongs to the watch before.
    ++m_generation;
    m_asking = false;
    m_loaded = false;
    m_poll->stop();
    m_settle->stop();
    m_held.invalidate();
    m_state = State::idle;
}

void WInAppBrowserPaintWatch::poll()
{
    m_poll->setInterval(kLookMs);
    if (m_state != State::waiting || m_asking || !m_view || !m_view->page())
        return;
    if (m_loaded && m_watched.elapsed() >= kHoldMs) {
        painted();
        return;
    }
    m_asking = true;
    m_view->page()->runJavaScript(QString::fromLatin1(kFirstContentfulPaint), QWebEngineScript::ApplicationWorld,
                                  [self = QPointer<WInAppBrowserPaintWatch>(this), generation = m_generation](const QVariant &painted) {
                                      if (!self || generation != self->m_generation)
                                          return;
                                      self->m_asking = false;
                                      if (!painted.toBool()) {
                                          self->m_poll->start();
                                          return;
                                      }
                                      self->painted();
                                  });
}

void WInAppBrowserPaintWatch::painted()
{
    m_state = State::settling;
    m_painted.start();
    settle();
}

void WInAppBrowserPaintWatch::settle()
{
    if (m_state != State::settling)
        return;
    QWidget *now = surface();
    if (!now || m_painted.elapsed() >= kLookAlikeMs) {
        finish();
        return;
    }
    // A new surface (the view's first document, or one in another process)
    // starts white, and a page's first picture may still give way to white
    // for a frame: on a white one, the picture must hold for a while.
    QImage white(now->size() * now->devicePixelRatio(), QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage before = now == m_before ? m_pictureBefore : white;
    const bool fresh = before == white;
    const QImage shown = picture(now);
    if (shown == before) {
        m_held.invalidate();
        m_settle->start();
        return;
    }
    if (fresh && !m_held.isValid())
        m_held.start();
    if (fresh && m_held.elapsed() < m_newSurfaceHoldMs) {
        m_settle->start();
        return;
    }
    finish();
}

void WInAppBrowserPaintWatch::finish()
{
    m_settle->stop();
    m_pictureBefore = QImage();
    m_state = State::shown;
    emit documentShown();
}

QWidget *WInAppBrowserPaintWatch::surface() const
{
    return m_view ? qobject_cast<QQuickWidget *>(m_view->focusProxy()) : nullptr;
}

QImage WInAppBrowserPaintWatch::picture(QWidget *surface) const
{
    // Renders the engine's latest frame, as the screen will show it.
    auto *quick = qobject_cast<QQuickWidget *>(surface);
    return quick && quick->isVisible() ? quick->grabFramebuffer().convertToFormat(QImage::Format_RGB32) : QImage();
}

} // namespace WexoCreator
