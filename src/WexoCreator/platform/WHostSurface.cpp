#include "WexoCreator/platform/WHostSurface.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace WexoCreator {

WHostSurface *WHostSurface::of(QWidget *host)
{
    if (!host)
        return nullptr;
    if (auto *surface = host->findChild<WHostSurface *>(QString(), Qt::FindDirectChildrenOnly))
        return surface;
    return new WHostSurface(host);
}

WHostSurface::WHostSurface(QWidget *host)
    : QObject(host)
{
    host->installEventFilter(this);
    // A dialog may already be up when the library starts (a start-up dialog).
    update();
}

QWidget *WHostSurface::host() const
{
    return static_cast<QWidget *>(parent());
}

QWidget *WHostSurface::current() const
{
    return m_dialog ? m_dialog.data() : host();
}

bool WHostSurface::blocks(const QWidget *modal, const QWidget *host)
{
    if (!modal || !host || modal == host || !modal->isVisible())
        return false;
    if (modal->windowModality() == Qt::ApplicationModal)
        return true;
    if (modal->windowModality() != Qt::WindowModal)
        return false;
    for (const QWidget *opener = modal->parentWidget(); opener; opener = opener->parentWidget()) {
        opener = opener->window();
        if (opener == host)
            return true;
    }
    return false;
}

bool WHostSurface::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog that closes may be deleted right after (a dialog on the stack,
    // or one that deletes itself): the layers leave it before its children go.
    if (watched == m_dialog && event->type() == QEvent::Hide && !event->spontaneous()) {
        m_dialog->removeEventFilter(this);
        m_dialog = nullptr;
        Q_EMIT changed(host());
        // A dialog below it may still block the window.
        QMetaObject::invokeMethod(this, &WHostSurface::update, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
        // Later, once Qt has settled which window is modal.
        QMetaObject::invokeMethod(this, &WHostSurface::update, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WHostSurface::update()
{
    QWidget *modal = QApplication::activeModalWidget();
    // The library's own prompts are modal too; they move nothing.
    if (modal && WLibraryWidgets::isLibraryOwned(modal))
        return;
    QWidget *dialog = blocks(modal, host()) ? modal : nullptr;
    if (dialog == m_dialog)
        return;
    if (m_dialog)
        m_dialog->removeEventFilter(this);
    m_dialog = dialog;
    // A dialog over this one blocks it in turn; its closing is a Hide.
    if (dialog)
        dialog->installEventFilter(this);
    Q_EMIT changed(current());
}

} // namespace WexoCreator
