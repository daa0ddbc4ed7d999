#include "WexoCreator/platform/WKeepOnTop.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QChildEvent>
#include <QWidget>

namespace WexoCreator {

WKeepOnTop::WKeepOnTop(QWidget *widget)
    : QObject(widget)
    , m_widget(widget)
{
    QWidget *parent = widget ? widget->parentWidget() : nullptr;
    if (!parent)
        return;
    parent->installEventFilter(this);
    for (QObject *sibling : parent->children())
        watchSibling(sibling);
    widget->raise();
}

void WKeepOnTop::watchSibling(QObject *sibling)
{
    if (sibling != m_widget && sibling->isWidgetType())
        sibling->installEventFilter(this);
}

bool WKeepOnTop::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_widget || watched == m_widget)
        return QObject::eventFilter(watched, event);
    QObject *moved = nullptr;
    if (watched == m_widget->parentWidget() && event->type() == QEvent::ChildAdded) {
        moved = static_cast<QChildEvent *>(event)->child();
        watchSibling(moved);
    } else if (event->type() == QEvent::ZOrderChange && watched->parent() == m_widget->parentWidget()) {
        moved = watched;
    }
    if (moved && moved != m_widget && moved->isWidgetType()
        && !WLibraryWidgets::isMarked(static_cast<QWidget *>(moved)))
        m_widget->raise();
    return QObject::eventFilter(watched, event);
}

} // namespace WexoCreator
