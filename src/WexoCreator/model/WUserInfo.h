#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The account of a login answer.
class WUserInfo
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { Email, IsAdmin, displayName };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    std::optional<QString> Email;
    bool IsAdmin = false;
    std::optional<QString> displayName;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
