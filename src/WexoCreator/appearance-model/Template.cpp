#include "WexoCreator/appearance-model/Template.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<Template::CodingKeys, 2> Template::codingKeys{{"success"_L1, "CssObject"_L1}};

void Template::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_success = json.optionalBool(codingKeys[K::success]);
    m_CssObject = json.optionalRecord<TemplateParameters>(codingKeys[K::CssObject]);
}

void Template::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::success], m_success);
    json.writeIfPresent(codingKeys[K::CssObject], m_CssObject);
}

} // namespace WexoCreator
