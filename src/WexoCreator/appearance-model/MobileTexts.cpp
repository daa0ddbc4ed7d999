#include "WexoCreator/appearance-model/MobileTexts.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void MobileTexts::decode(const WJsonObjectReader &json)
{
    m_aboutText = json.requiredString("aboutText"_L1);
    m_aboutUsLink = json.requiredString("aboutUsLink"_L1);
    m_logoLink = json.requiredString("logoLink"_L1);
    m_logoPath = json.requiredString("logoPath"_L1);
    m_optionsText = json.requiredString("optionsText"_L1);
    m_playWexosText = json.requiredString("playWexosText"_L1);
    m_poweredByText = json.requiredString("poweredByText"_L1);
    m_privacyPolicyLink = json.requiredString("privacyPolicyLink"_L1);
    m_privacyPolicyText = json.requiredString("privacyPolicyText"_L1);
    m_searchBarTextMobile = json.requiredString("searchBarTextMobile"_L1);
    m_supportLink = json.requiredString("supportLink"_L1);
    m_supportText = json.requiredString("supportText"_L1);
}

} // namespace WexoCreator
