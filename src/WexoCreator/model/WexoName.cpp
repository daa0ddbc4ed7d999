#include "WexoCreator/model/WexoName.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoName::decode(const WJsonObjectReader &json)
{
    Id = json.optionalString("Id"_L1);
    Name = json.optionalString("Name"_L1);
    appId = json.optionalString("domain"_L1);
}

} // namespace WexoCreator
