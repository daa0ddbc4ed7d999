#include "WexoCreator/appearance-model/TemplateConstraints.h"

#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/model/WJsonObjectReader.h"

#include <QByteArray>
#include <QJsonValue>

#include <charconv>
#include <cmath>

namespace WexoCreator {

using namespace Qt::StringLiterals;

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [+-] digits [. digits] [e [+-] digits], with digits on at least one side of
// the point. Rules out blanks, "nan", "inf" and hex floats before parsing.
bool isDecimalNumber(const QByteArray &s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && isDigit(s.at(i)))
            ++i;
        return i - start;
    };
    if (i < n && (s.at(i) == '+' || s.at(i) == '-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && s.at(i) == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (s.at(i) == 'e' || s.at(i) == 'E')) {
        ++i;
        if (i < n && (s.at(i) == '+' || s.at(i) == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

// Every "px" removed, then the rest must be one finite decimal number in C
// notation, whatever the user's locale. Anything else is no size.
std::optional<double> parseSize(const QString &text)
{
    QString number = text;
    number.remove(QStringLiteral("px"));
    if (number.isEmpty())
        return std::nullopt;
    // A character outside Latin-1 turns into "?", which the grammar refuses.
    const QByteArray bytes = number.toLatin1();
    if (!isDecimalNumber(bytes))
        return std::nullopt;
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    if (*begin == '+')
        ++begin; // from_chars takes no plus sign
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void readSize(const WJsonObjectReader &json, QLatin1StringView key, double &field)
{
    const QJsonValue value = json.value(key);
    if (!value.isString())
        return;
    if (const std::optional<double> size = parseSize(value.toString()))
        field = *size;
}

void readText(const WJsonObjectReader &json, QLatin1StringView key, std::optional<QString> &field)
{
    if (std::optional<QString> value = json.lenientString(key))
        field = std::move(value);
}

} // namespace

void TemplateConstraints::decode(const WJsonObjectReader &json)
{
    readText(json, "backgroundcolor"_L1, m_backgroundcolor);
    readText(json, "color"_L1, m_color);
    readText(json, "font"_L1, m_font);
    readText(json, "fontWeight"_L1, m_fontWeight);
    readText(json, "text"_L1, m_text);
    if (const std::optional<bool> value = json.lenientBool("hasProperties"_L1))
        m_hasProperties = *value;

    readSize(json, "paddingT"_L1, m_paddingT);
    readSize(json, "paddingL"_L1, m_paddingL);
    readSize(json, "paddingB"_L1, m_paddingB);
    readSize(json, "paddingR"_L1, m_paddingR);
    readSize(json, "marginT"_L1, m_marginT);
    readSize(json, "marginL"_L1, m_marginL);
    readSize(json, "marginB"_L1, m_marginB);
    readSize(json, "marginR"_L1, m_marginR);
    // Read like any other size: scaling it by its own initial 0 would lose every radius.
    readSize(json, "borderRadius"_L1, m_borderRadius);
    readSize(json, "fontSize"_L1, m_fontSize);
}

QColor TemplateConstraints::bgColor() const
{
    if (!m_backgroundcolor)
        return QColor(Qt::transparent);
    return colorFromHex(*m_backgroundcolor).value_or(QColor(Qt::transparent));
}

} // namespace WexoCreator
