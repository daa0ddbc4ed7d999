#include "WexoCreator/appearance-model/WFonts.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WFonts::CodingKeys, 3> WFonts::codingKeys{{"fontName"_L1, "fontUrl"_L1, "localURL"_L1}};

void WFonts::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_fontName = json.optionalString(codingKeys[K::fontName]);
    m_fontUrl = json.optionalString(codingKeys[K::fontUrl]);
    m_localURL = json.optionalUrl(codingKeys[K::localURL]);
}

void WFonts::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::fontName], m_fontName);
    json.writeIfPresent(codingKeys[K::fontUrl], m_fontUrl);
    json.writeIfPresent(codingKeys[K::localURL], m_localURL);
}

} // namespace WexoCreator
