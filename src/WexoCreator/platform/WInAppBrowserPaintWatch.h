#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QQuickWidget;
class QTimer;
class QWebEngineView;

namespace WexoCreator {

class WInAppBrowserPage;

// Tells when a web view shows its current document rather than the one
// before, from what the engine and Qt tell and from time, never from the
// view's picture. The engine keeps the previous document's picture until
// the new one's first frame reaches the view. Its signs: the engine reports
// the document's extent (contents size or scroll position, once they differ
// from the document before's; a view whose size changed under the new
// document always sees them change) as that frame is ready, and the view
// renders it next, or just after a frame it was already to render; the
// document reports its first contentful paint once the frame after it is
// committed, and the view renders it within three frames. So a document
// counts as shown once the view has rendered the frames that follow a sign,
// or a moment after the last of them when it renders no more (a still
// page). Whatever happens (no paint, a busy or crashed renderer, a report
// that never comes), it counts as shown a few seconds after it arrived.
// Once shown, nothing runs until the next document. The view must be
// visible (it may be covered) for its document to reach it.
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
    // address (pageUrl): on a busy machine its reports may come first.
    bool ahead(const QUrl &pageUrl) const { return createdSinceArrival() && m_createdUrl != pageUrl; }
    void stop();
    bool shown() const { return m_state == State::shown; }
    // Shown only because the deadline passed: no sign of the document came.
    bool lapsed() const { return shown() && m_lapsed; }
    bool watching() const { return m_state == State::waiting || m_state == State::settling; }

    // The longest a document stays unshown.
    static constexpr int kDeadlineMs = 3000;

Q_SIGNALS:
    void documentShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { idle, waiting, settling, shown };
    // What tells that the document's first frame is on its way: its first
    // contentful paint, committed; the engine's report of its extent.
    enum class Sign { none, painted, extent };

    // Shown once the view has rendered the frames that follow the sign.
    void sign(Sign kind);
    void onFrame();
    void finish();
    bool createdSinceArrival() const { return m_createdAtArrival == m_arrivals; }
    // Counts the frames of the view's surface (a new one with each renderer).
    void followSurface();
    void followItems();
    void dropSurface();

    QPointer<QWebEngineView> m_view;
    QPointer<WInAppBrowserPage> m_page;
    QTimer *m_deadline;
    QTimer *m_settle;
    QPointer<QQuickWidget> m_surface;
    QList<QPointer<QObject>> m_items; // the engine's items (see followItems)
    QMetaObject::Connection m_frames;
    State m_state = State::idle;
    Sign m_sign = Sign::none;
    int m_framesToGo = 0;
    // How long the view may render nothing before the page counts as still.
    int m_quietMs = 0;
    // The engine has handed the view a frame it has not rendered yet.
    bool m_framePending = false;
    // The last document that reported itself, and the arrivals before it.
    QUrl m_createdUrl;
    int m_createdAtArrival = -1;
    int m_arrivals = 0;
    bool m_lapsed = false;
};

} // namespace WexoCreator
