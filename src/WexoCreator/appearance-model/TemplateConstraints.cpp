#include "WexoCreator/appearance-model/TemplateConstraints.h"

#include "WexoCreator/extensions/WColor.h"

#include <QByteArray>
#include <QJsonValue>

#include <charconv>
#include <cmath>

namespace WexoCreator {

namespace {

void readText(const QJsonObject &object, QLatin1StringView key, std::optional<QString> &field)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        field = value.toString();
}

void readSize(const QJsonObject &object, QLatin1StringView key, double &field)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return;
    if (const std::optional<double> size = TemplateConstraints::parseSize(value.toString()))
        field = *size;
}

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

} // namespace

TemplateConstraints::TemplateConstraints(const QJsonObject &object)
{
    readText(object, QLatin1StringView("backgroundcolor"), m_backgroundcolor);
    readText(object, QLatin1StringView("color"), m_color);
    readText(object, QLatin1StringView("font"), m_font);
    readText(object, QLatin1StringView("fontWeight"), m_fontWeight);
    readText(object, QLatin1StringView("text"), m_text);

    const QJsonValue hasProperties = object.value(QLatin1StringView("hasProperties"));
    if (hasProperties.isBool())
        m_hasProperties = hasProperties.toBool();

    readSize(object, QLatin1StringView("paddingT"), m_paddingT);
    readSize(object, QLatin1StringView("paddingL"), m_paddingL);
    readSize(object, QLatin1StringView("paddingB"), m_paddingB);
    readSize(object, QLatin1StringView("paddingR"), m_paddingR);
    readSize(object, QLatin1StringView("marginT"), m_marginT);
    readSize(object, QLatin1StringView("marginL"), m_marginL);
    readSize(object, QLatin1StringView("marginB"), m_marginB);
    readSize(object, QLatin1StringView("marginR"), m_marginR);
    // Read like any other size: scaling it by its own initial 0 would lose every radius.
    readSize(object, QLatin1StringView("borderRadius"), m_borderRadius);
    readSize(object, QLatin1StringView("fontSize"), m_fontSize);
}

std::optional<double> TemplateConstraints::parseSize(const QString &text)
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

QColor TemplateConstraints::bgColor() const
{
    if (!m_backgroundcolor)
        return QColor(Qt::transparent);
    return colorFromHex(*m_backgroundcolor).value_or(QColor(Qt::transparent));
}

} // namespace WexoCreator
