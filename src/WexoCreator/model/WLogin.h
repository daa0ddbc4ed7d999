#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/WUserInfo.h"

#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The answer to the administrator login.
class WLogin
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { token, userInfo, message, success };
    static const WCodingKeys<CodingKeys, 4> codingKeys;

    std::optional<QString> token;
    std::shared_ptr<WUserInfo> userInfo; // null when absent
    std::optional<QString> message;
    bool success = false;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;

    // The token that logs the administrator in: an empty token is no token,
    // since every later administrator request would be refused with it.
    std::optional<QString> adminToken() const;
};

} // namespace WexoCreator
