#pragma once

#include "WexoCreator/model/WCodingKeys.h"

#include <QColor>
#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The style of one element of the step popups. Unlike every other record it is
// read leniently: a field that is missing, null, of another JSON type or not a
// usable size keeps its initial value, and nothing inside a block fails the
// template. Sizes arrive as texts such as "12px" and are kept in points.
class TemplateConstraints
{
public:
    // The coding keys in stored order (decoding reads them in an order of its
    // own); each case's key text is codingKeys[case].
    enum class CodingKeys {
        hasProperties, backgroundcolor, color, fontWeight, fontSize, font, text, borderRadius,
        paddingT, paddingL, paddingB, paddingR, marginT, marginL, marginB, marginR
    };
    static const WCodingKeys<CodingKeys, 16> codingKeys;

    void decode(const WJsonObjectReader &json);
    // Every field in coding-key order, absent texts left out; sizes as "Npx"
    // texts, the form they arrive in, so that they decode back.
    void encode(WJsonObjectWriter &json) const;

    // The background colour; transparent when absent or of the wrong length.
    QColor bgColor() const;

    bool hasProperties() const { return m_hasProperties; }
    void setHasProperties(bool value) { m_hasProperties = value; }
    const std::optional<QString> &backgroundcolor() const { return m_backgroundcolor; }
    void setBackgroundcolor(const std::optional<QString> &value) { m_backgroundcolor = value; }
    const std::optional<QString> &color() const { return m_color; }
    void setColor(const std::optional<QString> &value) { m_color = value; }
    const std::optional<QString> &fontWeight() const { return m_fontWeight; }
    void setFontWeight(const std::optional<QString> &value) { m_fontWeight = value; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double value) { m_fontSize = value; }
    const std::optional<QString> &font() const { return m_font; }
    void setFont(const std::optional<QString> &value) { m_font = value; }
    const std::optional<QString> &text() const { return m_text; }
    void setText(const std::optional<QString> &value) { m_text = value; }
    // 0 means "not given" to its reader.
    double borderRadius() const { return m_borderRadius; }
    void setBorderRadius(double value) { m_borderRadius = value; }
    double paddingT() const { return m_paddingT; }
    void setPaddingT(double value) { m_paddingT = value; }
    double paddingL() const { return m_paddingL; }
    void setPaddingL(double value) { m_paddingL = value; }
    double paddingB() const { return m_paddingB; }
    void setPaddingB(double value) { m_paddingB = value; }
    double paddingR() const { return m_paddingR; }
    void setPaddingR(double value) { m_paddingR = value; }
    double marginT() const { return m_marginT; }
    void setMarginT(double value) { m_marginT = value; }
    double marginL() const { return m_marginL; }
    void setMarginL(double value) { m_marginL = value; }
    double marginB() const { return m_marginB; }
    void setMarginB(double value) { m_marginB = value; }
    double marginR() const { return m_marginR; }
    void setMarginR(double value) { m_marginR = value; }

private:
    bool m_hasProperties = false;
    std::optional<QString> m_backgroundcolor;
    std::optional<QString> m_color;
    std::optional<QString> m_fontWeight;
    double m_fontSize = 12;
    std::optional<QString> m_font;
    std::optional<QString> m_text;
    double m_borderRadius = 0;
    double m_paddingT = 0;
    double m_paddingL = 0;
    double m_paddingB = 0;
    double m_paddingR = 0;
    double m_marginT = 0;
    double m_marginL = 0;
    double m_marginB = 0;
    double m_marginR = 0;
};

} // namespace WexoCreator
