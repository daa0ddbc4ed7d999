#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// One walkthrough of a site's list.
class WexoDetails
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { Id, Name, appId };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    std::optional<QString> Id;
    std::optional<QString> Name;
    std::optional<QString> appId; // "WalkthroughForSite"

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
