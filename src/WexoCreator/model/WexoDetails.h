#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// One walkthrough of a site's list.
class WexoDetails
{
public:
    std::optional<QString> Id;
    std::optional<QString> Name;
    std::optional<QString> appId; // "WalkthroughForSite"

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
