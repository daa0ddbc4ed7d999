#pragma once

#include "support/BackendFixture.h"
#include "support/HostFixture.h"

#include <QList>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>

namespace WexoCreator {

class WexoButtonController;
class WOverlay;

// The library started over a HostFixture against the sample backend, as a host
// starts it, with the host's tab widget registered. One per test process: the
// manager and its launcher live as long as the process.
class PlaybackSession
{
public:
    // beforeStart runs once the host is shown, before the library starts
    // (a host's start-up dialog, say).
    explicit PlaybackSession(const std::function<void(HostFixture &)> &beforeStart = {});
    ~PlaybackSession();

    bool isReady() const;
    HostFixture &host() { return *m_host; }
    BackendFixture &backend() { return *m_backend; }
    WexoButtonController *launcher() const;

    // The overlay on top, or null when nothing plays.
    WOverlay *shown() const;
    QList<WOverlay *> overlays() const;
    // Closes whatever plays, back to the first tab.
    void reset();

    // The analytics events the backend has kept for one playback, as "kind" or
    // "kind:step" (the step identifier of step events).
    QStringList analyticsOf(const QString &analyticsId) const;

    // A click on the host window (it goes where a person's click would).
    void clickAt(const QPoint &point);
    // A tap on the overlay where no step view lies (the window's top-left area).
    void tapAside();
    // The host's own widget gets a click at its centre through the window.
    bool hostGetsClick(QWidget *widget);
    // A key typed as a person types it: at the host's widget that has the
    // keyboard, or through the window to whatever has its focus. True when
    // the widget itself got the press.
    bool hostGetsKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers, bool throughWindow = false);

private:
    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<HostFixture> m_host;
};

} // namespace WexoCreator
