#pragma once

#include "WexoCreator/menu/WexoOptionType.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace WexoCreator {

class Wexo;
class WexoStep;

// One row of the options menu, and what the menu hands to the launcher when
// the row is chosen. A plain value: copies share the walkthrough and steps.
struct WexoOption {
    std::optional<QString> displayName;
    std::optional<QString> action;
    std::optional<WexoOptionType> type;
    std::optional<QList<std::shared_ptr<WexoStep>>> wexoSteps;
    std::shared_ptr<Wexo> wexo;
    std::optional<QString> url;
    qint64 totalWexoSteps = 0;

    // The page the row stands for, read from the theme in force at the call;
    // the library's home page for rows without one of their own.
    QUrl contentURL() const;
};

} // namespace WexoCreator
