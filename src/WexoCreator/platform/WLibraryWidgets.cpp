#include "WexoCreator/platform/WLibraryWidgets.h"

#include <QObject>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace WexoCreator {

namespace {

// A short list rather than a dynamic property: the pick walk asks once per
// level it enters, and the library marks only a few widgets (a covering window
// per host window, the outline view), so a scan beats any lookup by name or
// hash. Never freed, so a widget dying after static destruction still finds it.
std::vector<const QObject *> &marked()
{
    static auto *list = new std::vector<const QObject *>;
    return *list;
}

bool contains(const QObject *object)
{
    const std::vector<const QObject *> &list = marked();
    return std::find(list.begin(), list.end(), object) != list.end();
}

} // namespace

void WLibraryWidgets::mark(QWidget *widget)
{
    if (!widget || contains(widget))
        return;
    marked().push_back(widget);
    QObject::connect(widget, &QObject::destroyed, [](QObject *gone) { std::erase(marked(), gone); });
}

bool WLibraryWidgets::isMarked(const QWidget *widget)
{
    return widget && contains(widget);
}

bool WLibraryWidgets::isLibraryOwned(const QWidget *widget)
{
    for (const QWidget *candidate = widget; candidate; candidate = candidate->parentWidget()) {
        if (isMarked(candidate))
            return true;
    }
    return false;
}

} // namespace WexoCreator
