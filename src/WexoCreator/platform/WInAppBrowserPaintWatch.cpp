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
// it later, and so does a still page whose frame came before the sign.
constexpr int kFrameWaitMs = 100;
// A document that tells nothing for this long after frames came may have
// painted a picture the engine gave no sign of; a sign with no frame before
// it has its frame this long to come.
constexpr int kSignWaitMs = 400;
// Guessing more often than this for one document would only make the page
// view resize on and on (a page that never paints shows blank as it is).
constexpr int kMostGuesses = 3;
// A view woken from its rest gets the engine's frame within a few of the
// host's frames; one whose renderer does not answer shows as it is then.
constexpr int kWakeWaitMs = 300;

} // namespace

WInAppBrowserPaintWatch::WInAppBrowserPaintWatch(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_page(qobject_cast<WInAppBrowserPage *>(view->page()))
    , m_deadline(new QTimer(this))
    , m_signWait(new QTimer(this))
    , m_frameWait(new QTimer(this))
    , m_wakeWait(new QTimer(this))
{
    for (QTimer *timer : {m_deadline, m_signWait, m_frameWait, m_wakeWait})
        timer->setSingleShot(true);
    m_signWait->setInterval(kSignWaitMs);
    m_wakeWait->setInterval(kWakeWaitMs);
    connect(m_wakeWait, &QTimer::timeout, this, &WInAppBrowserPaintWatch::onWoken);
    connect(m_deadline, &QTimer::timeout, this, &WInAppBrowserPaintWatch::onDeadline);
    connect(m_signWait, &QTimer::timeout, this, &WInAppBrowserPaintWatch::onNoSign);
    connect(m_frameWait, &QTimer::timeout, this, &WInAppBrowserPaintWatch::onNoFrame);
    if (m_page) {
        // Every new document reports itself (one under the same address, a
        // reload, only this way), often before the page's address changes.
        connect(m_page, &WInAppBrowserPage::documentCreated, this, &WInAppBrowserPaintWatch::onCreated);
        connect(m_page, &WInAppBrowserPage::documentPainted, this, [this](int framesAway) { sign(static_cast<Sign>(framesAway)); });
        connect(m_page, &QWebEnginePage::contentsSizeChanged, this, [this] { sign(Sign::extent); });
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] { sign(Sign::extent); });
        // From a load's start, the frames the engine hands the view may be the
        // coming document's (on a busy host, even before its address comes).
        connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
            // Frames handed over before this load began were another
            // document's, shown or not (one covered by its reader face may
            // never have been): the view may still hold that picture.
            if (m_seen > 0)
                m_heldPicture = true;
            m_seen = 0;
            m_seenHere = 0;
            followSurface();
        });
    }
}

void WInAppBrowserPaintWatch::setState(State state)
{
    const bool before = watching();
    m_state = state;
    if (!watching())
        forgetOwed();
    if (watching() != before)
        emit watchingChanged();
}

void WInAppBrowserPaintWatch::forgetOwed()
{
    m_deadlineOwed = false;
    if (std::exchange(m_frameOwed, false))
        emit watchingChanged();
}

void WInAppBrowserPaintWatch::setPictureWanted(bool wanted)
{
    if (std::exchange(m_pictureWanted, wanted) == wanted || !wanted || !watching())
        return;
    if (std::exchange(m_deadlineOwed, false))
        m_deadline->start(kWakeWaitMs);
    if (std::exchange(m_frameOwed, false)) {
        askForFrame();
        emit watchingChanged();
    }
}

void WInAppBrowserPaintWatch::watch()
{
    // The surface followed stays: a frame it is about to render may be the document's.
    ++m_round;
    m_lapsed = false;
    m_guesses = 0;
    forgetOwed();
    m_frameWait->stop();
    m_signWait->stop();
    if (!m_page || !m_page->navigatedByItself())
        m_due.setRemainingTime(kDeadlineMs);
    m_deadline->start(int(qMax<qint64>(0, m_due.remainingTime())));
    followSurface();
    setState(State::waiting);
    // A frame came without a sign of the document: it may be its picture.
    if (m_seen > 0)
        m_signWait->start();
}

void WInAppBrowserPaintWatch::wake()
{
    followSurface();
    m_wakeWait->start();
}

bool WInAppBrowserPaintWatch::waking() const
{
    return m_wakeWait->isActive();
}

void WInAppBrowserPaintWatch::onWoken()
{
    m_wakeWait->stop();
    if (!watching())
        dropSurface();
    // Told a turn later: never from inside the view's rendering.
    QMetaObject::invokeMethod(this, &WInAppBrowserPaintWatch::woken, Qt::QueuedConnection);
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
    // first frame may, on a busy machine) still counts.
    const bool reported = m_aheadUrl == url;
    m_aheadUrl.reset();
    m_arrivedUrl = url;
    m_arrivedReported = reported;
    if (!reported)
        watch();
    // The document before fitted the view unscrolled: a new one that does too
    // would report the same extent with its first frame, which is then no
    // sign. Another size makes it one, even where the document's script keeps
    // it busy from its first paint on (nothing else would tell then). The
    // engine's extent is in device pixels.
    const QSizeF before = m_page ? m_page->contentsSize() : QSizeF();
    if (m_view && !before.isEmpty() && before.height() <= m_view->height() * m_view->devicePixelRatioF() + 0.5
        && m_page->scrollPosition().isNull()) {
        ++m_guesses;
        askForFrame();
    }
    return reported;
}

void WInAppBrowserPaintWatch::stop()
{
    setState(State::idle);
    forgetOwed();
    m_lapsed = false;
    m_deadline->stop();
    m_signWait->stop();
    m_frameWait->stop();
    m_wakeWait->stop();
    dropSurface();
}

void WInAppBrowserPaintWatch::sign(Sign sign)
{
    if (!watching())
        return;
    followSurface();
    followItems();
    // Taken once what is already queued has been handled: the engine's
    // frames drawn before the document's (the picture before, drawn anew at
    // another size or as the view showed again) may still be on their way
    // to the view behind the sign, which comes by another route.
    QMetaObject::invokeMethod(this, [this, frames = int(sign), round = m_round] {
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
    setState(State::settling);
    m_signWait->stop();
    // Where frames came before the sign, the one it tells of may have been
    // one of them (a still page sends no more); else it is on its way.
    m_frameWait->start(m_seen > 0 ? kFrameWaitMs : kSignWaitMs);
}

void WInAppBrowserPaintWatch::onFrame()
{
    followItems();
    // Only a frame of the engine's counts: the view also renders when shown
    // or resized, with what it had (a new view, nothing: white).
    if (!std::exchange(m_framePending, false))
        return;
    if (waking())
        onWoken();
    ++m_seen;
    ++m_seenHere;
    if (m_state == State::waiting && !m_signWait->isActive())
        m_signWait->start();
    if (m_state != State::settling)
        return;
    if (--m_framesToGo <= 0)
        finish();
    else
        m_frameWait->start(kFrameWaitMs);
}

bool WInAppBrowserPaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    // The engine hands its frames to the view's scene by a queued update of its item.
    if (event->type() == QEvent::MetaCall)
        m_framePending = true;
    return QObject::eventFilter(watched, event);
}

void WInAppBrowserPaintWatch::onNoSign()
{
    if (m_state != State::waiting || m_guesses >= kMostGuesses)
        return;
    ++m_guesses;
    askForFrame();
}

void WInAppBrowserPaintWatch::onNoFrame()
{
    if (m_state != State::settling)
        return;
    // The engine sends a frame at the view's new size however late it is:
    // asked for once, it comes.
    askForFrame();
}

void WInAppBrowserPaintWatch::onDeadline()
{
    if (!watching())
        return;
    // Frames in a view that never held another document's picture can only be this document's.
    if (m_seenHere > 0 && !m_heldPicture) {
        finish();
        return;
    }
    // A document that gave its sign under a face of its own keeps its
    // deadline until its picture may show: nothing waits for it meanwhile.
    if (m_state == State::settling && !m_pictureWanted) {
        m_deadlineOwed = true;
        return;
    }
    m_lapsed = true;
    if (m_state == State::waiting)
        askForFrame();
    emit documentLapsed();
}

void WInAppBrowserPaintWatch::askForFrame()
{
    if (!m_view)
        return;
    // Another face of the document covers the view: asked for once it may show.
    if (!m_pictureWanted) {
        if (!std::exchange(m_frameOwed, true))
            emit watchingChanged();
        return;
    }
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
    m_deadlineOwed = false;
    m_frameOwed = false;
    m_heldPicture = true;
    m_deadline->stop();
    m_signWait->stop();
    m_frameWait->stop();
    if (!waking())
        dropSurface();
    // Its place again (the document is shown: its next frame is its own).
    if (std::exchange(m_shorter, false) && m_view)
        m_view->setContentsMargins(0, 0, 0, 0);
    // Told shown before no longer watched: what shows the document finds its
    // view awake, and only a view that stays covered rests after.
    m_state = State::shown;
    emit documentShown();
    if (!watching())
        emit watchingChanged();
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
