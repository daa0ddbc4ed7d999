#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The answer that opens a playback's analytics record.
class WexoAnalytics
{
public:
    std::optional<QString> message;
    std::optional<QString> analyticsId;

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
