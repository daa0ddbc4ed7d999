#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The name record of a walkthrough.
class WexoName
{
public:
    std::optional<QString> Id;
    std::optional<QString> Name;
    std::optional<QString> appId; // "domain"

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
