#include "WexoCreator/model/Wexo.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<Wexo::CodingKeys, 7> Wexo::codingKeys{{"IsActive"_L1, "Page"_L1, "StepId"_L1, "PageOrderNo"_L1, "Subdomain"_L1, "WalkthroughId"_L1, "values"_L1}};

void Wexo::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    IsActive = json.optionalBool(codingKeys[K::IsActive]);
    Page = json.optionalString(codingKeys[K::Page]);
    StepId = json.optionalString(codingKeys[K::StepId]);
    PageOrderNo = json.requiredInt64(codingKeys[K::PageOrderNo]);
    appId = json.optionalString(codingKeys[K::appId]);
    WalkthroughId = json.optionalString(codingKeys[K::WalkthroughId]);
    values = json.optionalList<WexoStep>(codingKeys[K::values]);
}

void Wexo::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::IsActive], IsActive);
    json.writeIfPresent(codingKeys[K::Page], Page);
    json.writeIfPresent(codingKeys[K::StepId], StepId);
    json.write(codingKeys[K::PageOrderNo], PageOrderNo);
    json.writeIfPresent(codingKeys[K::appId], appId);
    json.writeIfPresent(codingKeys[K::WalkthroughId], WalkthroughId);
    json.writeIfPresent(codingKeys[K::values], values);
}

} // namespace WexoCreator
