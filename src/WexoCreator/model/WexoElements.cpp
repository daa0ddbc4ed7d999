#include "WexoCreator/model/WexoElements.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoElements::CodingKeys, 3> WexoElements::codingKeys{{"ElementId"_L1, "ElementHtmlId"_L1, "Frame"_L1}};

void WexoElements::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    ElementId = json.optionalString(codingKeys[K::ElementId]);
    ElementHtmlId = json.optionalString(codingKeys[K::ElementHtmlId]);
    Frame = json.optionalString(codingKeys[K::Frame]);
}

void WexoElements::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::ElementId], ElementId);
    json.writeIfPresent(codingKeys[K::ElementHtmlId], ElementHtmlId);
    json.writeIfPresent(codingKeys[K::Frame], Frame);
}

} // namespace WexoCreator
