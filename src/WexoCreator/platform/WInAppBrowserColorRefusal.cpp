#include "WexoCreator/platform/WInAppBrowserColorRefusal.h"

#include "WexoCreator/platform/WLogging.h"

#include <QChildEvent>
#include <QColorDialog>
#include <QWebEngineView>

namespace WexoCreator {

WInAppBrowserColorRefusal::WInAppBrowserColorRefusal(QWebEngineView *view)
    : QObject(view)
{
    view->installEventFilter(this);
}

bool WInAppBrowserColorRefusal::eventFilter(QObject *watched, QEvent *event)
{
    // A child is polished as it is being shown, before its window is: the
    // last moment to keep the dialog off screen. When it is added it is not
    // a dialog yet.
    if (event->type() != QEvent::ChildPolished)
        return QObject::eventFilter(watched, event);
    auto *dialog = qobject_cast<QColorDialog *>(static_cast<QChildEvent *>(event)->child());
    auto *view = qobject_cast<QWebEngineView *>(watched);
    if (!dialog || !view)
        return QObject::eventFilter(watched, event);
    dialog->setAttribute(Qt::WA_DontShowOnScreen);
    // Not inside the engine's call that is opening it; should the view go
    // first, the dialog goes with it.
    QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    qCDebug(lcPlatform).noquote() << "page dialog answered at once: colour"
                                  << view->url()
                                         .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery
                                                   | QUrl::RemoveFragment)
                                         .toString();
    return QObject::eventFilter(watched, event);
}

} // namespace WexoCreator
