#include "WexoCreator/model/WUserInfo.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WUserInfo::CodingKeys, 3> WUserInfo::codingKeys{{"Email"_L1, "IsAdmin"_L1, "displayName"_L1}};

void WUserInfo::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    Email = json.optionalString(codingKeys[K::Email]);
    IsAdmin = json.requiredBool(codingKeys[K::IsAdmin]);
    displayName = json.optionalString(codingKeys[K::displayName]);
}

void WUserInfo::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::Email], Email);
    json.write(codingKeys[K::IsAdmin], IsAdmin);
    json.writeIfPresent(codingKeys[K::displayName], displayName);
}

} // namespace WexoCreator
