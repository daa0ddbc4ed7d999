#include "WexoCreator/model/WUserInfo.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WUserInfo::decode(const WJsonObjectReader &json)
{
    Email = json.optionalString("Email"_L1);
    IsAdmin = json.requiredBool("IsAdmin"_L1);
    displayName = json.optionalString("displayName"_L1);
}

} // namespace WexoCreator
