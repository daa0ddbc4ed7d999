#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/WexoElements.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The answer to posting a recorded step.
class WexoCreate
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { message, success, walkthroughStepId, walkthroughId, forPage, analyticsId, elements };
    static const WCodingKeys<CodingKeys, 7> codingKeys;

    std::optional<QString> message;
    std::optional<bool> success; // not trusted: the identifiers decide
    std::optional<QString> walkthroughStepId;
    std::optional<QString> walkthroughId;
    std::optional<QString> forPage;
    std::optional<QString> analyticsId;
    std::optional<QList<std::shared_ptr<WexoElements>>> elements;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;

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
