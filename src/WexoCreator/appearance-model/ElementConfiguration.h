#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/appearance-model/ElementConfigurationParameters.h"
#include "WexoCreator/appearance-model/MobileColors.h"
#include "WexoCreator/appearance-model/MobileTexts.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/appearance-model/WTooltipType.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The library's own appearance settings inside the company theme: colour
// pairs, launcher settings, tooltip kind, fonts and the options menu's colours
// and texts. Nested records are shared, so a font's localURL set by the font
// download is seen through this list too. A null pointer is an absent record.
class WEXOCREATOR_EXPORT ElementConfiguration
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { pulse, playIcon, cameraIcon, highlighter, tooltipColor, preferences, typeIcon, placement, text, tooltip, fonts, mobileColors, mobileTexts, showSearchbar };
    static const WCodingKeys<CodingKeys, 14> codingKeys;

    using Pair = std::shared_ptr<ElementConfigurationParameters>;

    // The built-in launcher settings (WConfiguration names them too).
    static inline const QString defaultTypeIcon = QStringLiteral("wexoIcon");
    static inline const QString defaultPreferences = QStringLiteral("widget");
    static inline const QString defaultPlacement = QStringLiteral("left");
    static inline const QString defaultText = QStringLiteral("Help");

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones are left out.
    void encode(WJsonObjectWriter &json) const;

    // The launcher settings, with the built-in value for an absent or empty text.
    QString getIcon() const;
    QString getPreference() const;
    QString getPlacement() const;
    QString getTitleText() const;
    // Absent, empty or "iMark" gives iMark; any other text gives questionMark.
    WTooltipType getTooltipType() const;

    const Pair &pulse() const { return m_pulse; }
    void setPulse(const Pair &value) { m_pulse = value; }
    const Pair &playIcon() const { return m_playIcon; }
    void setPlayIcon(const Pair &value) { m_playIcon = value; }
    const Pair &cameraIcon() const { return m_cameraIcon; }
    void setCameraIcon(const Pair &value) { m_cameraIcon = value; }
    const Pair &highlighter() const { return m_highlighter; }
    void setHighlighter(const Pair &value) { m_highlighter = value; }
    // JSON key "tooltip-color"
    const Pair &tooltipColor() const { return m_tooltipColor; }
    void setTooltipColor(const Pair &value) { m_tooltipColor = value; }
    const std::optional<QString> &preferences() const { return m_preferences; }
    void setPreferences(const std::optional<QString> &value) { m_preferences = value; }
    const std::optional<QString> &typeIcon() const { return m_typeIcon; }
    void setTypeIcon(const std::optional<QString> &value) { m_typeIcon = value; }
    const std::optional<QString> &placement() const { return m_placement; }
    void setPlacement(const std::optional<QString> &value) { m_placement = value; }
    const std::optional<QString> &text() const { return m_text; }
    void setText(const std::optional<QString> &value) { m_text = value; }
    const std::optional<QString> &tooltip() const { return m_tooltip; }
    void setTooltip(const std::optional<QString> &value) { m_tooltip = value; }
    bool showSearchbar() const { return m_showSearchbar; }
    void setShowSearchbar(bool value) { m_showSearchbar = value; }
    // Null in the answer is no list, [] an empty one.
    const std::optional<QList<std::shared_ptr<WFonts>>> &fonts() const { return m_fonts; }
    void setFonts(const std::optional<QList<std::shared_ptr<WFonts>>> &value) { m_fonts = value; }
    const std::shared_ptr<MobileColors> &mobileColors() const { return m_mobileColors; }
    void setMobileColors(const std::shared_ptr<MobileColors> &value) { m_mobileColors = value; }
    const std::shared_ptr<MobileTexts> &mobileTexts() const { return m_mobileTexts; }
    void setMobileTexts(const std::shared_ptr<MobileTexts> &value) { m_mobileTexts = value; }

private:
    Pair m_pulse;
    Pair m_playIcon;
    Pair m_cameraIcon;
    Pair m_highlighter;
    Pair m_tooltipColor;
    std::optional<QString> m_preferences;
    std::optional<QString> m_typeIcon;
    std::optional<QString> m_placement;
    std::optional<QString> m_text;
    std::optional<QString> m_tooltip;
    bool m_showSearchbar = false;
    std::optional<QList<std::shared_ptr<WFonts>>> m_fonts;
    std::shared_ptr<MobileColors> m_mobileColors;
    std::shared_ptr<MobileTexts> m_mobileTexts;
};

} // namespace WexoCreator
