#include "WexoCreator/model/WexoElements.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoElements::decode(const WJsonObjectReader &json)
{
    ElementId = json.optionalString("ElementId"_L1);
    ElementHtmlId = json.optionalString("ElementHtmlId"_L1);
    Frame = json.optionalString("Frame"_L1);
}

} // namespace WexoCreator
