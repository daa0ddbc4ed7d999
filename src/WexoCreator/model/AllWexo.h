#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/WexoDetails.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The walkthrough list of a site.
class AllWexo
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { walkthrough, message, success };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    std::optional<QList<std::shared_ptr<WexoDetails>>> walkthrough;
    std::optional<QString> message;
    bool success = false;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
