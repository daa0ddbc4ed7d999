#include "WexoCreator/appearance-model/TemplateParameters.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<TemplateParameters::CodingKeys, 13> TemplateParameters::codingKeys{{"popover"_L1, "nextButton"_L1, "endButton"_L1, "backButton"_L1, "closeButton"_L1, "stepsTitle"_L1, "heading"_L1, "content"_L1, "progressbar"_L1, "logoText"_L1, "progressbarWrapper"_L1, "banner"_L1, "tapHere"_L1}};

void TemplateParameters::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_popover = json.optionalRecord<TemplateConstraints>(codingKeys[K::popover]);
    m_nextButton = json.optionalRecord<TemplateConstraints>(codingKeys[K::nextButton]);
    m_endButton = json.optionalRecord<TemplateConstraints>(codingKeys[K::endButton]);
    m_backButton = json.optionalRecord<TemplateConstraints>(codingKeys[K::backButton]);
    m_closeButton = json.optionalRecord<TemplateConstraints>(codingKeys[K::closeButton]);
    m_stepsTitle = json.optionalRecord<TemplateConstraints>(codingKeys[K::stepsTitle]);
    m_heading = json.optionalRecord<TemplateConstraints>(codingKeys[K::heading]);
    m_content = json.optionalRecord<TemplateConstraints>(codingKeys[K::content]);
    m_progressbar = json.optionalRecord<TemplateConstraints>(codingKeys[K::progressbar]);
    m_logoText = json.optionalRecord<TemplateConstraints>(codingKeys[K::logoText]);
    m_progressbarWrapper = json.optionalRecord<TemplateConstraints>(codingKeys[K::progressbarWrapper]);
    m_banner = json.optionalRecord<TemplateConstraints>(codingKeys[K::banner]);
    m_tapHere = json.optionalRecord<TemplateConstraints>(codingKeys[K::tapHere]);
}

void TemplateParameters::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::popover], m_popover);
    json.writeIfPresent(codingKeys[K::nextButton], m_nextButton);
    json.writeIfPresent(codingKeys[K::endButton], m_endButton);
    json.writeIfPresent(codingKeys[K::backButton], m_backButton);
    json.writeIfPresent(codingKeys[K::closeButton], m_closeButton);
    json.writeIfPresent(codingKeys[K::stepsTitle], m_stepsTitle);
    json.writeIfPresent(codingKeys[K::heading], m_heading);
    json.writeIfPresent(codingKeys[K::content], m_content);
    json.writeIfPresent(codingKeys[K::progressbar], m_progressbar);
    json.writeIfPresent(codingKeys[K::logoText], m_logoText);
    json.writeIfPresent(codingKeys[K::progressbarWrapper], m_progressbarWrapper);
    json.writeIfPresent(codingKeys[K::banner], m_banner);
    json.writeIfPresent(codingKeys[K::tapHere], m_tapHere);
}

} // namespace WexoCreator
