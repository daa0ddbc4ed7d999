#include "WexoCreator/appearance-model/TemplateConstraints.h"

#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

#include <QByteArray>
#include <QJsonValue>
#include <QLocale>

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
    const std::optional<QString> text = json.lenientString(key);
    if (!text)
        return;
    if (const std::optional<double> size = parseSize(*text))
        field = *size;
}

void readText(const WJsonObjectReader &json, QLatin1StringView key, std::optional<QString> &field)
{
    if (std::optional<QString> value = json.lenientString(key))
        field = std::move(value);
}

// The shortest text that reads back as the same number. A size that is not
// finite cannot be written as one and is left out (it reads back as the initial value).
void writeSize(WJsonObjectWriter &json, QLatin1StringView key, double size)
{
    if (std::isfinite(size))
        json.write(key, QString::number(size, 'g', QLocale::FloatingPointShortest) + "px"_L1);
}

} // namespace

const WCodingKeys<TemplateConstraints::CodingKeys, 16> TemplateConstraints::codingKeys{
    {"hasProperties"_L1, "backgroundcolor"_L1, "color"_L1, "fontWeight"_L1, "fontSize"_L1, "font"_L1, "text"_L1,
     "borderRadius"_L1, "paddingT"_L1, "paddingL"_L1, "paddingB"_L1, "paddingR"_L1, "marginT"_L1, "marginL"_L1,
     "marginB"_L1, "marginR"_L1}};

void TemplateConstraints::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    readText(json, codingKeys[K::backgroundcolor], m_backgroundcolor);
    readText(json, codingKeys[K::color], m_color);
    readText(json, codingKeys[K::font], m_font);
    readText(json, codingKeys[K::fontWeight], m_fontWeight);
    readText(json, codingKeys[K::text], m_text);
    if (const std::optional<bool> value = json.lenientBool(codingKeys[K::hasProperties]))
        m_hasProperties = *value;
    readSize(json, codingKeys[K::paddingT], m_paddingT);
    readSize(json, codingKeys[K::paddingL], m_paddingL);
    readSize(json, codingKeys[K::paddingB], m_paddingB);
    readSize(json, codingKeys[K::paddingR], m_paddingR);
    readSize(json, codingKeys[K::marginT], m_marginT);
    readSize(json, codingKeys[K::marginL], m_marginL);
    readSize(json, codingKeys[K::marginB], m_marginB);
    readSize(json, codingKeys[K::marginR], m_marginR);
    // Read like any other size: scaling it by its own initial 0 would lose every radius.
    readSize(json, codingKeys[K::borderRadius], m_borderRadius);
    readSize(json, codingKeys[K::fontSize], m_fontSize);
}

void TemplateConstraints::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.write(codingKeys[K::hasProperties], m_hasProperties);
    json.writeIfPresent(codingKeys[K::backgroundcolor], m_backgroundcolor);
    json.writeIfPresent(codingKeys[K::color], m_color);
    json.writeIfPresent(codingKeys[K::fontWeight], m_fontWeight);
    writeSize(json, codingKeys[K::fontSize], m_fontSize);
    json.writeIfPresent(codingKeys[K::font], m_font);
    json.writeIfPresent(codingKeys[K::text], m_text);
    writeSize(json, codingKeys[K::borderRadius], m_borderRadius);
    writeSize(json, codingKeys[K::paddingT], m_paddingT);
    writeSize(json, codingKeys[K::paddingL], m_paddingL);
    writeSize(json, codingKeys[K::paddingB], m_paddingB);
    writeSize(json, codingKeys[K::paddingR], m_paddingR);
    writeSize(json, codingKeys[K::marginT], m_marginT);
    writeSize(json, codingKeys[K::marginL], m_marginL);
    writeSize(json, codingKeys[K::marginB], m_marginB);
    writeSize(json, codingKeys[K::marginR], m_marginR);
}

QColor TemplateConstraints::bgColor() const
{
    if (!m_backgroundcolor)
        return QColor(Qt::transparent);
    return colorFromHex(*m_backgroundcolor).value_or(QColor(Qt::transparent));
}

} // namespace WexoCreator
