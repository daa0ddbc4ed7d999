#include "WexoCreator/model/WexoDetails.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoDetails::CodingKeys, 3> WexoDetails::codingKeys{{"Id"_L1, "Name"_L1, "WalkthroughForSite"_L1}};

void WexoDetails::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    Id = json.optionalString(codingKeys[K::Id]);
    Name = json.optionalString(codingKeys[K::Name]);
    appId = json.optionalString(codingKeys[K::appId]);
}

void WexoDetails::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::Id], Id);
    json.writeIfPresent(codingKeys[K::Name], Name);
    json.writeIfPresent(codingKeys[K::appId], appId);
}

} // namespace WexoCreator
