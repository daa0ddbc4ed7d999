#pragma once

#include "WexoCreator/menu/WexoOption.h"

#include <QList>
#include <QString>

#include <optional>

namespace WexoCreator {

// One titled group of rows of the options menu.
struct WexoSection {
    std::optional<QString> sectionName;
    std::optional<QList<WexoOption>> sectionOptions;
};

} // namespace WexoCreator
