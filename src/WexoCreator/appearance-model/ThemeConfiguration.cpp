#include "WexoCreator/appearance-model/ThemeConfiguration.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void ThemeConfiguration::decode(const WJsonObjectReader &json)
{
    m_CompanyId = json.optionalString("CompanyId"_L1);
    m_PrimaryColor = json.optionalString("PrimaryColor"_L1);
    m_SecondaryColor = json.optionalString("SecondaryColor"_L1);
    m_FontFamily = json.optionalString("FontFamily"_L1);
    m_Configurations = json.optionalRecord<ElementConfiguration>("Configurations"_L1);
    m_CompanyURL = json.optionalString("CompanyURL"_L1);
    m_isMobile = json.optionalString("isMobile"_L1);
}

} // namespace WexoCreator
