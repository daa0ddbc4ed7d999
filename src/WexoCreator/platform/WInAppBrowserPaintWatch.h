#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>

class QTimer;
class QWebEngineView;

namespace WexoCreator {

// Tells when a web view shows its current document rather than the one
// before. The engine keeps the previous document's picture until the new
// one paints content (half a second at most when it has none) and says
// nothing when that happens. The document's own paint timing says when it
// first painted content; the view's picture holds it a frame or two later,
// once it differs from the picture the view held when the document came (a
// view's new surface starts white). A document that looks just like the one
// before shows a little later all the same. The view must be visible (it may
// be covered) for its document to paint.
class WInAppBrowserPaintWatch : public QObject
{
    Q_OBJECT

public:
    // A new surface's first picture counts once it has held this long.
    WInAppBrowserPaintWatch(QWebEngineView *view, int newSurfaceHoldMs, QObject *parent);

    // A document is on its way into the view: what the view shows now is
    // the picture before (taken by watch() otherwise).
    void expect();
    // The view's document has just changed: watch it from now on.
    void watch();
    // The document has loaded: one with no content to paint counts as shown
    // once the engine has stopped holding the picture before.
    void documentLoaded();
    void stop();
    bool shown() const { return m_state == State::shown; }

Q_SIGNALS:
    void documentShown();

private:
    enum class State { idle, waiting, settling, shown };

    void poll();
    // The document has painted: its picture is looked for.
    void painted();
    void settle();
    void finish();
    // The view's surface and the picture it holds now (opaque, as compared).
    QWidget *surface() const;
    QImage picture(QWidget *surface) const;

    QPointer<QWebEngineView> m_view;
    int m_newSurfaceHoldMs;
    QTimer *m_poll;
    QTimer *m_settle;
    QElapsedTimer m_watched;
    QElapsedTimer m_painted;
    QElapsedTimer m_held;
    QPointer<QWidget> m_before;
    QImage m_pictureBefore;
    State m_state = State::idle;
    bool m_loaded = false;
    bool m_asking = false;
    bool m_expected = false;
    int m_generation = 0;
};

} // namespace WexoCreator
