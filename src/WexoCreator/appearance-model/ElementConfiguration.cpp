#include "WexoCreator/appearance-model/ElementConfiguration.h"

#include "WexoCreator/configuration/WConfiguration.h"

namespace WexoCreator {

namespace {

QString textOr(const std::optional<QString> &text, const QString &fallback)
{
    return text && !text->isEmpty() ? *text : fallback;
}

} // namespace

QString ElementConfiguration::getIcon() const
{
    return textOr(m_typeIcon, WConfiguration::wTypeIcon);
}

QString ElementConfiguration::getPreference() const
{
    return textOr(m_preferences, WConfiguration::wPreferences);
}

QString ElementConfiguration::getPlacement() const
{
    return textOr(m_placement, WConfiguration::wConsolePlacement);
}

QString ElementConfiguration::getTitleText() const
{
    return textOr(m_text, WConfiguration::wText);
}

WTooltipType ElementConfiguration::getTooltipType() const
{
    if (!m_tooltip || m_tooltip->isEmpty() || *m_tooltip == QLatin1StringView("iMark"))
        return WTooltipType::iMark;
    return WTooltipType::questionMark;
}

} // namespace WexoCreator
