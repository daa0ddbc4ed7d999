#pragma once

#include "WexoCreator/menu/WexoOptionType.h"

#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

// One node of the in-memory tree of a recorded walkthrough. The root stands for
// the walkthrough, its children for the recorded steps. Nodes are shared by
// identity (std::shared_ptr): the recorder, the manager and the lists all see
// the same root, so a step count raised by one holder is seen by all.
template<typename T>
class WexoNode
{
public:
    WexoNode(T value, std::optional<QString> name, WexoOptionType type, const QString &className,
             std::optional<QString> elementName = std::nullopt, std::optional<QString> wexoId = std::nullopt,
             qint64 stepNumber = 0, std::optional<QString> stepId = std::nullopt)
        : value(std::move(value))
        , type(type)
        , name(std::move(name))
        , className(className)
        , elementName(std::move(elementName))
        , wexoId(std::move(wexoId))
        , stepNumber(stepNumber)
        , stepId(std::move(stepId))
    {
    }

    T value;
    std::optional<WexoOptionType> type;
    std::optional<QString> name;
    std::optional<QString> className;
    std::optional<QString> elementName;
    std::optional<QString> wexoId;
    // On a root: the number of steps recorded so far, sent with the next element.
    qint64 stepNumber = 0;
    std::optional<QString> stepId;
};

} // namespace WexoCreator
