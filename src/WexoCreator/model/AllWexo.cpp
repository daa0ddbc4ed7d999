#include "WexoCreator/model/AllWexo.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void AllWexo::decode(const WJsonObjectReader &json)
{
    walkthrough = json.optionalList<WexoDetails>("walkthrough"_L1);
    message = json.optionalString("message"_L1);
    success = json.requiredBool("success"_L1);
}

} // namespace WexoCreator
