#include "WexoCreator/menu/WSheetView.h"

#include <QKeyEvent>

namespace WexoCreator {

WSheetView::WSheetView()
{
    setObjectName(QStringLiteral("WexoOptionsView"));
    setAttribute(Qt::WA_NoMousePropagation);
    setFocusPolicy(Qt::NoFocus);
}

void WSheetView::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !event->isAutoRepeat() && escapePressed)
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
