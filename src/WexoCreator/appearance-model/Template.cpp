#include "WexoCreator/appearance-model/Template.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void Template::decode(const WJsonObjectReader &json)
{
    m_success = json.optionalBool("success"_L1);
    m_CssObject = json.optionalRecord<TemplateParameters>("CssObject"_L1);
}

} // namespace WexoCreator
