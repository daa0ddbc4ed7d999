#include "WexoCreator/appearance-model/MobileColors.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void MobileColors::decode(const WJsonObjectReader &json)
{
    m_blockBackgroundColor = json.requiredString("blockBackgroundColor"_L1);
    m_listItemBackgroundColor = json.requiredString("listItemBackgroundColor"_L1);
    m_listItemTextColor = json.requiredString("listItemTextColor"_L1);
    m_optionsTextColor = json.requiredString("optionsTextColor"_L1);
    m_poweredByTextColor = json.requiredString("poweredByTextColor"_L1);
    m_searchHereBackgroundColor = json.requiredString("searchHereBackgroundColor"_L1);
    m_searchHereTextColor = json.requiredString("searchHereTextColor"_L1);
}

} // namespace WexoCreator
