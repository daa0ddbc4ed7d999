#include "WexoCreator/platform/WKeepOnTop.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QChildEvent>
#include <QWidget>

namespace WexoCreator {

WKeepOnTop::WKeepOnTop(QWidget *widget)
    : QObject(widget)
    , m_widget(widget)
{
    if (!widget)
        return;
    widget->installEventFilter(this);
    attach();
}

void WKeepOnTop::attach()
{
    QWidget *parent = m_widget->parentWidget();
    if (!parent)
        return;
    parent->installEventFilter(this);
    for (QObject *sibling : parent->children())
        watchSibling(sibling);
    m_widget->raise();
}

void WKeepOnTop::watchSibling(QObject *sibling)
{
    if (sibling != m_widget && sibling->isWidgetType())
        sibling->installEventFilter(this);
}

bool WKeepOnTop::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_widget)
        return QObject::eventFilter(watched, event);
    if (watched == m_widget) {
        if (event->type() == QEvent::ParentChange)
            attach();
        else if (event->type() == QEvent::WinIdChange)
            m_widget->raise();
        return QObject::eventFilter(watched, event);
    }
    // Filters left on a former parent and its children act no more.
    QObject *moved = nullptr;
    if (watched == m_widget->parentWidget() && event->type() == QEvent::ChildAdded) {
        moved = static_cast<QChildEvent *>(event)->child();
        watchSibling(moved);
    } else if ((event->type() == QEvent::ZOrderChange || event->type() == QEvent::WinIdChange)
               && watched->parent() == m_widget->parentWidget()) {
        moved = watched;
    }
    if (moved && moved != m_widget && moved->isWidgetType()
        && !WLibraryWidgets::isMarked(static_cast<QWidget *>(moved)))
        m_widget->raise();
    return QObject::eventFilter(watched, event);
}

} // namespace WexoCreator
