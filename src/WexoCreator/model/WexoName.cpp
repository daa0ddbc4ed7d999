#include "WexoCreator/model/WexoName.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoName::CodingKeys, 3> WexoName::codingKeys{{"Id"_L1, "Name"_L1, "domain"_L1}};

void WexoName::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    Id = json.optionalString(codingKeys[K::Id]);
    Name = json.optionalString(codingKeys[K::Name]);
    appId = json.optionalString(codingKeys[K::appId]);
}

void WexoName::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::Id], Id);
    json.writeIfPresent(codingKeys[K::Name], Name);
    json.writeIfPresent(codingKeys[K::appId], appId);
}

} // namespace WexoCreator
