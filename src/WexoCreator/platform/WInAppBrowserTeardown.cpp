#include "WexoCreator/platform/WInAppBrowserTeardown.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <utility>

namespace WexoCreator {

namespace {

struct Watched {
    QPointer<QObject> owner;
    std::function<void()> release;
};

struct State {
    QList<Watched> watched;
    // Let go of, in the order they are to be deleted.
    QList<QPointer<QObject>> retiring;
    bool exiting = false;
};

State &state()
{
    static State instance;
    return instance;
}

} // namespace

void WInAppBrowserTeardown::retire(const QList<QPointer<QWidget>> &views, QWebEnginePage *page, QWebEngineProfile *profile)
{
    QList<QPointer<QObject>> &retiring = state().retiring;
    retiring.removeAll(nullptr);
    for (const QPointer<QWidget> &view : views) {
        if (!view)
            continue;
        view->hide();
        view->setParent(nullptr);
        retiring.append(view.data());
    }
    retiring.append(page);
    retiring.append(profile);
    QTimer::singleShot(0, qApp, [views, page = QPointer<QObject>(page), profile = QPointer<QObject>(profile)] {
        for (const QPointer<QWidget> &view : views)
            delete view.data();
        delete page.data();
        QTimer::singleShot(0, qApp, [profile] { delete profile.data(); });
    });
    keepFirstAtExit();
}

void WInAppBrowserTeardown::watch(QObject *owner, std::function<void()> release)
{
    QList<Watched> &watched = state().watched;
    watched.removeIf([](const Watched &entry) { return entry.owner.isNull(); });
    watched.append({owner, std::move(release)});
    keepFirstAtExit();
}

void WInAppBrowserTeardown::keepFirstAtExit()
{
    // Post routines run newest first, and Qt WebEngine and Qt Quick add
    // theirs as the first page starts and the first view shows: this one is
    // added again after each, so that it runs before them.
    if (state().exiting)
        return;
    qRemovePostRoutine(&WInAppBrowserTeardown::releaseAtExit);
    qAddPostRoutine(&WInAppBrowserTeardown::releaseAtExit);
}

void WInAppBrowserTeardown::releaseAtExit()
{
    State &current = state();
    current.exiting = true;
    for (const Watched &entry : std::exchange(current.watched, {})) {
        if (entry.owner)
            entry.release();
    }
    // No event loop is left to delete these later.
    for (const QPointer<QObject> &object : std::exchange(current.retiring, {}))
        delete object.data();
}

} // namespace WexoCreator
