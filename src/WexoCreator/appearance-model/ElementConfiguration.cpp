#include "WexoCreator/appearance-model/ElementConfiguration.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

namespace {

QString textOr(const std::optional<QString> &text, const QString &fallback)
{
    return text && !text->isEmpty() ? *text : fallback;
}

} // namespace

void ElementConfiguration::decode(const WJsonObjectReader &json)
{
    m_pulse = json.optionalRecord<ElementConfigurationParameters>("pulse"_L1);
    m_playIcon = json.optionalRecord<ElementConfigurationParameters>("playIcon"_L1);
    m_cameraIcon = json.optionalRecord<ElementConfigurationParameters>("cameraIcon"_L1);
    m_highlighter = json.optionalRecord<ElementConfigurationParameters>("highlighter"_L1);
    m_tooltipColor = json.optionalRecord<ElementConfigurationParameters>("tooltip-color"_L1);
    m_preferences = json.optionalString("preferences"_L1);
    m_typeIcon = json.optionalString("typeIcon"_L1);
    m_placement = json.optionalString("placement"_L1);
    m_text = json.optionalString("text"_L1);
    m_tooltip = json.optionalString("tooltip"_L1);
    m_fonts = json.optionalList<WFonts>("fonts"_L1);
    m_mobileColors = json.optionalRecord<MobileColors>("mobileColors"_L1);
    m_mobileTexts = json.optionalRecord<MobileTexts>("mobileTexts"_L1);
    m_showSearchbar = json.requiredBool("showSearchbar"_L1);
}

QString ElementConfiguration::getIcon() const
{
    return textOr(m_typeIcon, defaultTypeIcon);
}

QString ElementConfiguration::getPreference() const
{
    return textOr(m_preferences, defaultPreferences);
}

QString ElementConfiguration::getPlacement() const
{
    return textOr(m_placement, defaultPlacement);
}

QString ElementConfiguration::getTitleText() const
{
    return textOr(m_text, defaultText);
}

WTooltipType ElementConfiguration::getTooltipType() const
{
    if (!m_tooltip || m_tooltip->isEmpty() || *m_tooltip == "iMark"_L1)
        return WTooltipType::iMark;
    return WTooltipType::questionMark;
}

} // namespace WexoCreator
