#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The answer that opens a playback's analytics record.
class WexoAnalytics
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { message, analyticsId };
    static const WCodingKeys<CodingKeys, 2> codingKeys;

    std::optional<QString> message;
    std::optional<QString> analyticsId;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
