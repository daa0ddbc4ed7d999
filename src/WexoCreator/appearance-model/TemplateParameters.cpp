#include "WexoCreator/appearance-model/TemplateParameters.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void TemplateParameters::decode(const WJsonObjectReader &json)
{
    m_popover = json.optionalRecord<TemplateConstraints>("popover"_L1);
    m_nextButton = json.optionalRecord<TemplateConstraints>("nextButton"_L1);
    m_endButton = json.optionalRecord<TemplateConstraints>("endButton"_L1);
    m_backButton = json.optionalRecord<TemplateConstraints>("backButton"_L1);
    m_closeButton = json.optionalRecord<TemplateConstraints>("closeButton"_L1);
    m_stepsTitle = json.optionalRecord<TemplateConstraints>("stepsTitle"_L1);
    m_heading = json.optionalRecord<TemplateConstraints>("heading"_L1);
    m_content = json.optionalRecord<TemplateConstraints>("content"_L1);
    m_progressbar = json.optionalRecord<TemplateConstraints>("progressbar"_L1);
    m_logoText = json.optionalRecord<TemplateConstraints>("logoText"_L1);
    m_progressbarWrapper = json.optionalRecord<TemplateConstraints>("progressbarWrapper"_L1);
    m_banner = json.optionalRecord<TemplateConstraints>("banner"_L1);
    m_tapHere = json.optionalRecord<TemplateConstraints>("tapHere"_L1);
}

} // namespace WexoCreator
