#include "WexoCreator/appearance-model/MobileColors.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<MobileColors::CodingKeys, 7> MobileColors::codingKeys{{"blockBackgroundColor"_L1, "listItemBackgroundColor"_L1, "listItemTextColor"_L1, "optionsTextColor"_L1, "poweredByTextColor"_L1, "searchHereBackgroundColor"_L1, "searchHereTextColor"_L1}};

void MobileColors::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_blockBackgroundColor = json.requiredString(codingKeys[K::blockBackgroundColor]);
    m_listItemBackgroundColor = json.requiredString(codingKeys[K::listItemBackgroundColor]);
    m_listItemTextColor = json.requiredString(codingKeys[K::listItemTextColor]);
    m_optionsTextColor = json.requiredString(codingKeys[K::optionsTextColor]);
    m_poweredByTextColor = json.requiredString(codingKeys[K::poweredByTextColor]);
    m_searchHereBackgroundColor = json.requiredString(codingKeys[K::searchHereBackgroundColor]);
    m_searchHereTextColor = json.requiredString(codingKeys[K::searchHereTextColor]);
}

void MobileColors::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.write(codingKeys[K::blockBackgroundColor], m_blockBackgroundColor);
    json.write(codingKeys[K::listItemBackgroundColor], m_listItemBackgroundColor);
    json.write(codingKeys[K::listItemTextColor], m_listItemTextColor);
    json.write(codingKeys[K::optionsTextColor], m_optionsTextColor);
    json.write(codingKeys[K::poweredByTextColor], m_poweredByTextColor);
    json.write(codingKeys[K::searchHereBackgroundColor], m_searchHereBackgroundColor);
    json.write(codingKeys[K::searchHereTextColor], m_searchHereTextColor);
}

} // namespace WexoCreator
