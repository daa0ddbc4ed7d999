#include "WexoCreator/model/Wexo.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void Wexo::decode(const WJsonObjectReader &json)
{
    IsActive = json.optionalBool("IsActive"_L1);
    Page = json.optionalString("Page"_L1);
    StepId = json.optionalString("StepId"_L1);
    PageOrderNo = json.requiredInt64("PageOrderNo"_L1);
    appId = json.optionalString("Subdomain"_L1);
    WalkthroughId = json.optionalString("WalkthroughId"_L1);
    values = json.optionalList<WexoStep>("values"_L1);
}

} // namespace WexoCreator
