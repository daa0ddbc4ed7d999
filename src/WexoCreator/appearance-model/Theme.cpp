#include "WexoCreator/appearance-model/Theme.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void Theme::decode(const WJsonObjectReader &json)
{
    m_success = json.optionalBool("success"_L1);
    m_message = json.optionalString("message"_L1);
    m_config = json.optionalRecord<ThemeConfiguration>("config"_L1);
}

} // namespace WexoCreator
