#include "WexoCreator/appearance-model/ElementConfiguration.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

namespace {

QString textOr(const std::optional<QString> &text, const QString &fallback)
{
    return text && !text->isEmpty() ? *text : fallback;
}

// A colour pair has no encoding of its own, so the configuration writes it in
// the form the pair decodes from.
void writePair(WJsonObjectWriter &json, QLatin1StringView key, const ElementConfiguration::Pair &pair)
{
    if (!pair)
        return;
    using K = ElementConfigurationParameters::CodingKeys;
    const auto &keys = ElementConfigurationParameters::codingKeys;
    WJsonObjectWriter object;
    object.writeIfPresent(keys[K::prop1], pair->prop1());
    object.writeIfPresent(keys[K::prop2], pair->prop2());
    json.writeObject(key, object);
}

} // namespace

const WCodingKeys<ElementConfiguration::CodingKeys, 14> ElementConfiguration::codingKeys{{"pulse"_L1, "playIcon"_L1, "cameraIcon"_L1, "highlighter"_L1, "tooltip-color"_L1, "preferences"_L1, "typeIcon"_L1, "placement"_L1, "text"_L1, "tooltip"_L1, "fonts"_L1, "mobileColors"_L1, "mobileTexts"_L1, "showSearchbar"_L1}};

void ElementConfiguration::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    m_pulse = json.optionalRecord<ElementConfigurationParameters>(codingKeys[K::pulse]);
    m_playIcon = json.optionalRecord<ElementConfigurationParameters>(codingKeys[K::playIcon]);
    m_cameraIcon = json.optionalRecord<ElementConfigurationParameters>(codingKeys[K::cameraIcon]);
    m_highlighter = json.optionalRecord<ElementConfigurationParameters>(codingKeys[K::highlighter]);
    m_tooltipColor = json.optionalRecord<ElementConfigurationParameters>(codingKeys[K::tooltipColor]);
    m_preferences = json.optionalString(codingKeys[K::preferences]);
    m_typeIcon = json.optionalString(codingKeys[K::typeIcon]);
    m_placement = json.optionalString(codingKeys[K::placement]);
    m_text = json.optionalString(codingKeys[K::text]);
    m_tooltip = json.optionalString(codingKeys[K::tooltip]);
    m_fonts = json.optionalList<WFonts>(codingKeys[K::fonts]);
    m_mobileColors = json.optionalRecord<MobileColors>(codingKeys[K::mobileColors]);
    m_mobileTexts = json.optionalRecord<MobileTexts>(codingKeys[K::mobileTexts]);
    m_showSearchbar = json.requiredBool(codingKeys[K::showSearchbar]);
}

void ElementConfiguration::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    writePair(json, codingKeys[K::pulse], m_pulse);
    writePair(json, codingKeys[K::playIcon], m_playIcon);
    writePair(json, codingKeys[K::cameraIcon], m_cameraIcon);
    writePair(json, codingKeys[K::highlighter], m_highlighter);
    writePair(json, codingKeys[K::tooltipColor], m_tooltipColor);
    json.writeIfPresent(codingKeys[K::preferences], m_preferences);
    json.writeIfPresent(codingKeys[K::typeIcon], m_typeIcon);
    json.writeIfPresent(codingKeys[K::placement], m_placement);
    json.writeIfPresent(codingKeys[K::text], m_text);
    json.writeIfPresent(codingKeys[K::tooltip], m_tooltip);
    json.writeIfPresent(codingKeys[K::fonts], m_fonts);
    json.writeIfPresent(codingKeys[K::mobileColors], m_mobileColors);
    json.writeIfPresent(codingKeys[K::mobileTexts], m_mobileTexts);
    json.write(codingKeys[K::showSearchbar], m_showSearchbar);
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
