#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The account of a login answer.
class WUserInfo
{
public:
    std::optional<QString> Email;
    bool IsAdmin = false;
    std::optional<QString> displayName;

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
