#pragma once

#include "WexoCreator/model/WUserInfo.h"

#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The answer to the administrator login.
class WLogin
{
public:
    std::optional<QString> token;
    std::shared_ptr<WUserInfo> userInfo; // null when absent
    std::optional<QString> message;
    bool success = false;

    void decode(const WJsonObjectReader &json);

    // The token that logs the administrator in: an empty token is no token,
    // since every later administrator request would be refused with it.
    std::optional<QString> adminToken() const;
};

} // namespace WexoCreator
