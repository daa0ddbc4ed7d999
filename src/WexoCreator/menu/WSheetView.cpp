#include "WexoCreator/menu/WSheetView.h"

#include <QKeyEvent>

namespace WexoCreator {

WSheetView::WSheetView()
{
    setObjectName(QStringLiteral("WexoOptionsView"));
    setAttribute(Qt::WA_NoMousePropagation);
    setFocusPolicy(Qt::NoFocus);
}

bool WSheetView::closesOn(const QKeyEvent *key) const
{
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat() && escapePressed;
}

bool WSheetView::event(QEvent *event)
{
    // Claimed before the shortcut map sees it (from the search field too): a
    // host's own shortcut on Escape would otherwise take the press, and the
    // menu would stay up.
    if (event->type() == QEvent::ShortcutOverride && closesOn(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void WSheetView::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (closesOn(event))
        escapePressed();
}

void WSheetView::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}

bool WSheetView::focusNextPrevChild(bool)
{
    return true;
}

} // namespace WexoCreator
