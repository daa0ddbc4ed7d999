#include "WexoCreator/appearance-model/ElementConfigurationParameters.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void ElementConfigurationParameters::decode(const WJsonObjectReader &json)
{
    m_prop1 = json.optionalString("prop1"_L1);
    m_prop2 = json.optionalString("prop2"_L1);
}

} // namespace WexoCreator
