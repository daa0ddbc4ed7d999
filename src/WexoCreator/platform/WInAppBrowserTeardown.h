#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QObject;
class QWebEnginePage;
class QWebEngineProfile;

namespace WexoCreator {

// How the in-app page's web objects go. Nothing of a page is deleted inside
// the engine's own call that led to its closing (a callback of the page, a
// key it was handling, the host deleting its window from there): its views
// go a turn later, then its page, and its profile a turn after that, once
// Chromium has run the work it queued for the page (a refused download's work
// corrupted the heap when the profile went at once). What is still alive when
// the application goes is released before Qt WebEngine and Qt Quick (which
// draws the views) shut down.
class WInAppBrowserTeardown
{
public:
    // Lets go of a page's views (hidden and taken out of their window now),
    // its page and its profile.
    static void retire(const QList<QPointer<QWidget>> &views, QWebEnginePage *page, QWebEngineProfile *profile);
    // While owner lives, release is called should the application go first.
    static void watch(QObject *owner, std::function<void()> release);
    // Called again once a view is on screen: Qt Quick sets up what it shuts
    // down at exit only then.
    static void keepFirstAtExit();

private:
    static void releaseAtExit();
};

} // namespace WexoCreator
