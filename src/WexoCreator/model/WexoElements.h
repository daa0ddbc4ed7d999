#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// One element of a created-step answer.
class WexoElements
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { ElementId, ElementHtmlId, Frame };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    std::optional<QString> ElementId;
    std::optional<QString> ElementHtmlId;
    std::optional<QString> Frame;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
