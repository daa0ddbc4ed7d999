#include "WexoCreator/model/WexoDetails.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoDetails::decode(const WJsonObjectReader &json)
{
    Id = json.optionalString("Id"_L1);
    Name = json.optionalString("Name"_L1);
    appId = json.optionalString("WalkthroughForSite"_L1);
}

} // namespace WexoCreator
