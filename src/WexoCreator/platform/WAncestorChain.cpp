#include "WexoCreator/platform/WAncestorChain.h"

#include <QWidget>

namespace WexoCreator {

QList<QWidget *> ancestorChain(QWidget *view, const QWidget *root, WChainEnd end)
{
    QList<QWidget *> chain;
    for (QWidget *current = view; current; current = current->parentWidget()) {
        chain.prepend(current);
        if (current == root || (end == WChainEnd::atRootOrWindow && current->isWindow()))
            break;
    }
    return chain;
}

} // namespace WexoCreator
