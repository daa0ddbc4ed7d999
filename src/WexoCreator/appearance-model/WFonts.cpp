#include "WexoCreator/appearance-model/WFonts.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WFonts::decode(const WJsonObjectReader &json)
{
    m_fontName = json.optionalString("fontName"_L1);
    m_fontUrl = json.optionalString("fontUrl"_L1);
    m_localURL = json.optionalUrl("localURL"_L1);
}

} // namespace WexoCreator
