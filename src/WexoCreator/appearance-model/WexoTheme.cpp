#include "WexoCreator/appearance-model/WexoTheme.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoTheme::decode(const WJsonObjectReader &json)
{
    m_message = json.optionalString("message"_L1);
    m_success = json.optionalBool("success"_L1);
}

} // namespace WexoCreator
