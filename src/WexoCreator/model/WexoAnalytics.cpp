#include "WexoCreator/model/WexoAnalytics.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoAnalytics::CodingKeys, 2> WexoAnalytics::codingKeys{{"message"_L1, "analyticsId"_L1}};

void WexoAnalytics::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    message = json.optionalString(codingKeys[K::message]);
    analyticsId = json.optionalString(codingKeys[K::analyticsId]);
}

void WexoAnalytics::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::message], message);
    json.writeIfPresent(codingKeys[K::analyticsId], analyticsId);
}

} // namespace WexoCreator
