#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <optional>

// The engine's items come from a library built without run-time type
// information, so the undefined-behaviour checker cannot tell their type
// when they are called through QObject or QQuickItem.
#if defined(__GNUC__) || defined(__clang__)
#define WEXO_CALLS_ENGINE_ITEMS __attribute__((no_sanitize("vptr")))
#else
#define WEXO_CALLS_ENGINE_ITEMS
#endif

class QQuickWidget;
class QTimer;
class QWebEngineView;

namespace WexoCreator {

class WInAppBrowserPage;

// Tells when a web view shows its current document rather than the one
// before, from what the engine and Qt tell, never from the view's picture
// and never from time alone. The engine keeps the previous document's
// picture until it hands the view a frame of the new one, however long that
// takes (a busy host renders it late). The whole rule:
//
// - Signs. The engine reports the document's extent (contents size or
//   scroll position, once they differ from the document before's) as the
//   frame that carries it is ready; the document reports its first
//   contentful paint once the frame after it is committed (one that runs no
//   script of its own reports at once: its frame is the one after next).
//   Nothing earlier is a sign: until the document's frame is committed, the
//   engine may hand the view frames of the picture before (at a new size,
//   say) while the document's script holds its own back. The nearest sign
//   holds. A sign is taken once what is already queued has been handled, so
//   that a frame of the picture before still on its way is not taken for it.
// - Shown. The document counts as shown once the view has rendered the frame
//   a sign tells of (one more where the engine's frame before was still to
//   be rendered). Only frames the engine hands the view count, not the
//   view's own renders (shown, resized, covered).
// - Asking for a frame. Making the view a pixel shorter (or its height again)
//   makes the engine send a frame of the document, with its extent, as soon
//   as it has one. It is asked for where a sign came and the frame it tells
//   of did not (kFrameWaitMs after frames that came before the sign, else
//   kSignWaitMs): once for each frame still to come, so a document that has
//   painted never stays unshown. It is guessed at, at most kMostGuesses
//   times a document, where the view's frames came without any sign for
//   kSignWaitMs (the picture may be the document's: only a background, or
//   the same extent as the document before, gives none), and at once where
//   the document before fitted the view (the same extent again would be no
//   sign; the engine's extent is in device pixels).
// - Deadline. kDeadlineMs from the arrival of a document that the user or
//   this library navigated to. A document the page made by itself (a
//   refresh, a script moving on, a reload of its own) keeps what is left of
//   that deadline: none left, it lapses at once. At the deadline the watch
//   tells (lapsed), guesses once more if no sign came, and watches on: the
//   document shows once it paints, however late. Where the view never held
//   another document's picture (none was shown in it, and the engine handed
//   it no frames before this load began) frames seen by then can only be
//   this document's or a new renderer's blank, and it counts as shown. Any
//   other view, a later surface (a new renderer) too, may show the picture
//   before, and is watched as any other.
//
// - Covered. While the view's picture cannot show (another face of the same
//   document covers it), a frame is not asked for: the request is kept,
//   and so is the deadline of a document that gave its sign, until the
//   picture may show again (then the deadline gives it kWakeWaitMs more).
//
// Once shown, nothing runs until the next document. The view must be
// visible to the engine (it may be covered) for its document to reach it;
// one that rested (hidden to the engine) is woken through the watch, which
// tells when its picture is drawn anew.
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
    // Whether the view's picture may show now (see Covered above).
    void setPictureWanted(bool wanted);
    // A frame is to be asked for once the picture may show: until then the
    // view may rest, and waking it asks for a frame as well.
    bool frameOwed() const { return m_frameOwed; }
    // The view rested (hidden to the engine, its scene showing only its
    // background meanwhile) and wakes: woken() once it has rendered the
    // engine's next frame, its document's picture drawn anew, or after
    // kWakeWaitMs (a renderer that does not answer).
    void wake();
    bool waking() const;

    // How long a document may stay unshown before what waits for it goes on without it.
    static constexpr int kDeadlineMs = 3000;
    // The frame a sign tells of, counted in the engine's frames from the sign.
    enum class Sign {
        extent = 1, // the frame that carries it
        painted = 1, // the frame after the first paint, committed
        paintedEarly = 2, // the first paint of a document that runs no script: the frame after next
    };

Q_SIGNALS:
    // The view has rendered a frame of the document.
    void documentShown();
    // The deadline passed and the view holds no frame of the document yet.
    void documentLapsed();
    // watching() or frameOwed() changed.
    void watchingChanged();
    void woken();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { idle, waiting, settling, shown };

    void setState(State state);
    void sign(Sign sign);
    void takeSign(int frames);
    void onFrame();
    void onDeadline();
    // Frames came with no sign of the document for a while.
    void onNoSign();
    // A sign came and the frame it tells of did not.
    void onNoFrame();
    // Makes the engine send a frame of its document, as soon as it has one.
    void askForFrame();
    void finish();
    // A new document, or none watched: nothing is owed.
    void forgetOwed();
    void onCreated(const QUrl &url);
    void onWoken();
    // Counts the frames of the view's surface (a new one with each renderer).
    void followSurface();
    void followItems();
    void dropSurface();

    QPointer<QWebEngineView> m_view;
    QPointer<WInAppBrowserPage> m_page;
    QTimer *m_deadline;
    QTimer *m_signWait; // frames without a sign: onNoSign
    QTimer *m_frameWait; // a sign without its frame: onNoFrame
    QTimer *m_wakeWait; // woken without a frame: woken all the same
    // The deadline of the last document the user or this library navigated to.
    QDeadlineTimer m_due;
    QPointer<QQuickWidget> m_surface;
    // The view may hold a picture of a document: one was shown, or frames
    // came before the current load began.
    bool m_heldPicture = false;
    QList<QPointer<QObject>> m_items; // the engine's items (see followItems)
    QMetaObject::Connection m_frames;
    State m_state = State::idle;
    int m_framesToGo = 0;
    int m_round = 0; // the watches begun: a sign queued for one before is dropped
    int m_guesses = 0; // frames asked for without a sign since the document arrived
    int m_seen = 0; // frames of the engine's the view rendered since the load began
    int m_seenHere = 0; // of them, on the surface followed
    bool m_shorter = false; // the view is a pixel shorter than its place
    // The engine has handed the view a frame it has not rendered yet.
    bool m_framePending = false;
    bool m_lapsed = false;
    bool m_pictureWanted = true;
    bool m_frameOwed = false; // asked for while the picture was not wanted
    bool m_deadlineOwed = false; // passed meanwhile, after the document's sign
    // The address the last document arrived at, and whether it has reported
    // itself since; a document that reported itself and has yet to arrive.
    QUrl m_arrivedUrl;
    bool m_arrivedReported = false;
    std::optional<QUrl> m_aheadUrl;
};

} // namespace WexoCreator
