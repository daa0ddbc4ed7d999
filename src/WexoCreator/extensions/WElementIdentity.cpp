#include "WexoCreator/extensions/WElementIdentity.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QWidget>

namespace WexoCreator {

std::optional<QString> wexoElementIdentifier(const QWidget *widget)
{
    if (!widget)
        return std::nullopt;
    QString name = widget->objectName();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

void setWexoElementIdentifier(QWidget *widget, const std::optional<QString> &identifier)
{
    if (widget)
        widget->setObjectName(identifier.value_or(QString()));
}

namespace {

QWidget *findInSubtree(QWidget *widget, const QString &identifier, bool shownOnly)
{
    if (shownOnly && (widget->isHidden() || WLibraryWidgets::isMarked(widget)))
        return nullptr;
    if (widget->objectName() == identifier)
        return widget;
    for (QObject *child : widget->children()) {
        if (!child->isWidgetType())
            continue;
        auto *childWidget = static_cast<QWidget *>(child);
        if (childWidget->isWindow())
            continue;
        if (QWidget *found = findInSubtree(childWidget, identifier, shownOnly))
            return found;
    }
    return nullptr;
}

} // namespace

QWidget *getWView(QWidget *root, const QString &identifier)
{
    // An empty name is no identifier, so an empty search text finds nothing.
    if (!root || identifier.isEmpty())
        return nullptr;
    return findInSubtree(root, identifier, false);
}

QWidget *getShownWView(QWidget *root, const QString &identifier)
{
    if (!root || identifier.isEmpty())
        return nullptr;
    return findInSubtree(root, identifier, true);
}

} // namespace WexoCreator
