#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <optional>

class QQuickWidget;
class QTimer;
class QWebEngineView;

namespace WexoCreator {

class WInAppBrowserPage;

// Tells when a web view shows its current document rather than the one
// before, from what the engine and Qt tell, never from the view's picture
// and never from time alone. The engine keeps the previous document's
// picture until it hands the view a frame of the new one, however long that
// takes (a busy host renders it late). Its signs that such a frame is on its
// way: the engine reports the document's extent (contents size or scroll
// position, once they differ from the document before's) as a frame of it
// is ready, and the document reports its first contentful paint once the
// frame after it is committed (where it runs no script, at once: its frame
// is the one after next). A document counts as shown once the view has
// rendered the frame a sign tells of (one more where the engine's frame
// before was still to be rendered). Where the engine's frames came before
// a sign and none follows it, or came without one (the picture may be the
// document's: a still page sends no more), the view is made a pixel shorter
// (or its height again), which makes the engine send a frame of the
// document with its extent as soon as it has one; so is it at once where
// the document before fitted the view. A document not shown by
// the deadline is told (lapsed) and watched on: it shows once it paints.
// Once shown, nothing runs until the next load. The view must be visible
// (it may be covered) for its document to reach it.
class WInAppBrowserPaintWatch : public QObject
{
    Q_OBJECT

public:
    WInAppBrowserPaintWatch(QWebEngineView *view, QObject *parent);

    // A new document is in the view: watch it (again) from now on.
    void watch();
    // The page's address says a new document has arrived there: watched
    // from now on unless it was from its own report of itself. True where
    // it had reported itself (what it told since is its own).
    bool arrived(const QUrl &url);
    // A document has reported itself that has not yet arrived at the page's
    // address: on a busy machine its reports may come first. One moving its
    // own address is not another document.
    bool ahead() const { return m_aheadUrl.has_value(); }
    void stop();
    bool shown() const { return m_state == State::shown; }
    // The deadline passed before the document was shown.
    bool lapsed() const { return m_lapsed; }
    bool watching() const { return m_state == State::waiting || m_state == State::settling; }

    // How long a document may stay unshown before what waits for it goes on without it.
    static constexpr int kDeadlineMs = 3000;

Q_SIGNALS:
    // The view has rendered a frame of the document.
    void documentShown();
    // The deadline passed and the view holds no frame of the document yet.
    void documentLapsed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { idle, waiting, settling, shown };

    // A frame of the document is on its way, that many of the engine's
    // frames from now: shown once the view has rendered it.
    void sign(int frames);
    void takeSign(int frames);
    void onFrame();
    void onDeadline();
    // Makes the engine send a frame of its document, as soon as it has one.
    void askForFrame();
    void finish();
    void onCreated(const QUrl &url);
    // Counts the frames of the view's surface (a new one with each renderer).
    void followSurface();
    void followItems();
    void dropSurface();

    QPointer<QWebEngineView> m_view;
    QPointer<WInAppBrowserPage> m_page;
    QTimer *m_deadline;
    QTimer *m_nudge; // no sign, or no frame after one, for this long: askForFrame
    QPointer<QQuickWidget> m_surface;
    QPointer<QQuickWidget> m_shownSurface; // the one the last document shown was on
    QList<QPointer<QObject>> m_items; // the engine's items (see followItems)
    QMetaObject::Connection m_frames;
    State m_state = State::idle;
    int m_framesToGo = 0;
    int m_round = 0; // the watches begun: a sign queued for one before is dropped
    int m_asked = 0; // frames asked for since the document arrived
    int m_seen = 0; // frames of the engine's the view rendered since the load began
    int m_seenHere = 0; // of them, on the surface followed
    bool m_shorter = false; // the view is a pixel shorter than its place
    // The engine has handed the view a frame it has not rendered yet.
    bool m_framePending = false;
    bool m_lapsed = false;
    // The address the last document arrived at, and whether it has reported
    // itself since; a document that reported itself and has yet to arrive.
    QUrl m_arrivedUrl;
    bool m_arrivedReported = false;
    std::optional<QUrl> m_aheadUrl;
};

} // namespace WexoCreator
