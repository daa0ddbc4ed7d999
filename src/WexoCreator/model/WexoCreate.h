#pragma once

#include "WexoCreator/model/WexoElements.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The answer to posting a recorded step.
class WexoCreate
{
public:
    std::optional<QString> message;
    std::optional<bool> success; // not trusted: the identifiers decide
    std::optional<QString> walkthroughStepId;
    std::optional<QString> walkthroughId;
    std::optional<QString> forPage;
    std::optional<QString> analyticsId;
    std::optional<QList<std::shared_ptr<WexoElements>>> elements;

    void decode(const WJsonObjectReader &json);

    // Each gives "" when its field is absent.
    QString wexoIdentifier() const;
    QString wexoStepIdentifier() const;
    // The first element's identifier only.
    QString wexoElementIdentifier() const;

    // A step was created only when the answer names both the walkthrough
    // and the step; without them the recorded element cannot be filed.
    bool isCreated() const;
};

} // namespace WexoCreator
