#pragma once

#include <QList>

class QWidget;

namespace WexoCreator {

// Where a walk up from a widget stops (the widget it stops at is included).
enum class WChainEnd {
    // at `root`, else at the outermost ancestor
    atRoot,
    // at `root` or at the first window on the way, whichever comes first
    atRootOrWindow,
};

// The widget and its ancestors, outermost first and the widget last. A null
// widget gives an empty list.
QList<QWidget *> ancestorChain(QWidget *view, const QWidget *root, WChainEnd end);

} // namespace WexoCreator
