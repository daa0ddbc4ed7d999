#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QTimer;
class QQuickWidget;
class QWebEngineView;

namespace WexoCreator {

class WInAppBrowserPage;

// Tells when a web view shows its current document rather than the one
// before, from what the engine and Qt tell and from time, never from the
// view's picture. The engine keeps the previous document's picture until
// the new one's first frame reaches the view: a few frames after the
// document reports its first contentful paint, one or two after the engine
// reports the document's own extent (its contents size or scroll position,
// once they differ from the document before's; a view whose size changed
// under the new document always sees them change). So a document counts
// as shown once the view has rendered the frames that follow such a sign,
// or a moment after it when the view renders none (a still page). Whatever
// happens (no paint, a busy or crashed renderer, a report that never
// comes), it counts as shown a few seconds after it arrived. Once shown,
// nothing runs until the next document. The view must be visible (it may
// be covered) for its document to reach it.
class WInAppBrowserPaintWatch : public QObject
{
    Q_OBJECT

public:
    WInAppBrowserPaintWatch(QWebEngineView *view, QObject *parent);

    // A new document has arrived in the view: watch it (again) from now on.
    void watch();
    void stop();
    bool shown() const { return m_state == State::shown; }
    // Shown only because the deadline passed: no sign of the document came.
    bool lapsed() const { return shown() && m_lapsed; }
    bool watching() const { return m_state == State::waiting || m_state == State::settling; }

    // The longest a document stays unshown.
    static constexpr int kDeadlineMs = 3000;

Q_SIGNALS:
    void documentShown();

private:
    enum class State { idle, waiting, settling, shown };

    // A sign that the document's first frame is on its way: shown once the
    // view has rendered that many frames since, or that long after.
    void sign(int frames, int ms);
    void onFrame();
    void finish();
    // Counts the frames of the view's surface (a new one with each renderer).
    void followSurface();
    void dropSurface();

    QPointer<QWebEngineView> m_view;
    QPointer<WInAppBrowserPage> m_page;
    QTimer *m_deadline;
    QTimer *m_settle;
    QPointer<QQuickWidget> m_surface;
    QMetaObject::Connection m_frames;
    State m_state = State::idle;
    int m_framesToGo = 0;
    bool m_lapsed = false;
};

} // namespace WexoCreator
