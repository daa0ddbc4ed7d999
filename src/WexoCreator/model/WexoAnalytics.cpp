#include "WexoCreator/model/WexoAnalytics.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoAnalytics::decode(const WJsonObjectReader &json)
{
    message = json.optionalString("message"_L1);
    analyticsId = json.optionalString("analyticsId"_L1);
}

} // namespace WexoCreator
