#include "WexoCreator/appearance-model/MobileTexts.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<MobileTexts::CodingKeys, 12> MobileTexts::codingKeys{{"aboutText"_L1, "aboutUsLink"_L1, "logoLink"_L1, "logoPath"_L1, "optionsText"_L1, "playWexosText"_L1, "poweredByText"_L1, "privacyPolicyLink"_L1, "privacyPolicyText"_L1, "searchBarTextMobile"_L1, "supportLink"_L1, "supportText"_L1}};

void MobileTexts::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_aboutText = json.requiredString(codingKeys[K::aboutText]);
    m_aboutUsLink = json.requiredString(codingKeys[K::aboutUsLink]);
    m_logoLink = json.requiredString(codingKeys[K::logoLink]);
    m_logoPath = json.requiredString(codingKeys[K::logoPath]);
    m_optionsText = json.requiredString(codingKeys[K::optionsText]);
    m_playWexosText = json.requiredString(codingKeys[K::playWexosText]);
    m_poweredByText = json.requiredString(codingKeys[K::poweredByText]);
    m_privacyPolicyLink = json.requiredString(codingKeys[K::privacyPolicyLink]);
    m_privacyPolicyText = json.requiredString(codingKeys[K::privacyPolicyText]);
    m_searchBarTextMobile = json.requiredString(codingKeys[K::searchBarTextMobile]);
    m_supportLink = json.requiredString(codingKeys[K::supportLink]);
    m_supportText = json.requiredString(codingKeys[K::supportText]);
}

void MobileTexts::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.write(codingKeys[K::aboutText], m_aboutText);
    json.write(codingKeys[K::aboutUsLink], m_aboutUsLink);
    json.write(codingKeys[K::logoLink], m_logoLink);
    json.write(codingKeys[K::logoPath], m_logoPath);
    json.write(codingKeys[K::optionsText], m_optionsText);
    json.write(codingKeys[K::playWexosText], m_playWexosText);
    json.write(codingKeys[K::poweredByText], m_poweredByText);
    json.write(codingKeys[K::privacyPolicyLink], m_privacyPolicyLink);
    json.write(codingKeys[K::privacyPolicyText], m_privacyPolicyText);
    json.write(codingKeys[K::searchBarTextMobile], m_searchBarTextMobile);
    json.write(codingKeys[K::supportLink], m_supportLink);
    json.write(codingKeys[K::supportText], m_supportText);
}

} // namespace WexoCreator
