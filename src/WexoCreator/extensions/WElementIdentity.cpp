#include "WexoCreator/extensions/WElementIdentity.h"

#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QAction>
#include <QToolButton>
#include <QWidget>

namespace WexoCreator {

namespace {

bool isIdentifier(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// The name that identifies the widget, or an empty text when none does.
QString identifyingName(const QWidget *widget)
{
    const QString own = widget->objectName();
    if (isIdentifier(own))
        return own;
    const auto *button = qobject_cast<const QToolButton *>(widget);
    const QAction *action = button ? button->defaultAction() : nullptr;
    if (action && isIdentifier(action->objectName()))
        return action->objectName();
    return {};
}

// The identifier is known to be one (not empty, not Qt's own): a widget with a
// name of its own matches by that name alone, and only an unnamed one can
// take a name from elsewhere. Look-up runs over every widget of a page.
bool carries(const QWidget *widget, const QString &identifier)
{
    const QString own = widget->objectName();
    if (own == identifier)
        return true;
    return !isIdentifier(own) && identifyingName(widget) == identifier;
}

QWidget *findInSubtree(QWidget *widget, const QString &identifier, bool shownOnly, const QWidget *skip)
{
    if (widget == skip || (shownOnly && (widget->isHidden() || WLibraryWidgets::isMarked(widget))))
        return nullptr;
    if (carries(widget, identifier))
        return widget;
    for (QObject *child : widget->children()) {
        if (!child->isWidgetType())
            continue;
        auto *childWidget = static_cast<QWidget *>(child);
        if (childWidget->isWindow())
            continue;
        if (QWidget *found = findInSubtree(childWidget, identifier, shownOnly, skip))
            return found;
    }
    return nullptr;
}

} // namespace

std::optional<QString> wexoElementIdentifier(const QWidget *widget)
{
    if (!widget)
        return std::nullopt;
    const QString name = identifyingName(widget);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

void setWexoElementIdentifier(QWidget *widget, const std::optional<QString> &identifier)
{
    if (widget)
        widget->setObjectName(identifier.value_or(QString()));
}

QWidget *getWView(QWidget *root, const QString &identifier)
{
    // A text that is no identifier (empty, or Qt's own) names no widget.
    if (!root || !isIdentifier(identifier))
        return nullptr;
    return findInSubtree(root, identifier, false, nullptr);
}

QWidget *getShownWView(QWidget *root, const QString &identifier, const QWidget *skip)
{
    if (!root || !isIdentifier(identifier))
        return nullptr;
    return findInSubtree(root, identifier, true, skip);
}

} // namespace WexoCreator
