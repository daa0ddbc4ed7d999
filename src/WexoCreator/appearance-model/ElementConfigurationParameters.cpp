#include "WexoCreator/appearance-model/ElementConfigurationParameters.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<ElementConfigurationParameters::CodingKeys, 2> ElementConfigurationParameters::codingKeys{
    {"prop1"_L1, "prop2"_L1}};

void ElementConfigurationParameters::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_prop1 = json.optionalString(codingKeys[K::prop1]);
    m_prop2 = json.optionalString(codingKeys[K::prop2]);
}

} // namespace WexoCreator
