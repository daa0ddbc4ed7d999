#include "WexoCreator/model/WJsonObjectReader.h"

#include "WexoCreator/model/WDecodeError.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QStringList>

#include <cmath>

namespace WexoCreator {

namespace {

bool isAsciiUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isAsciiLower(QChar c)
{
    return c >= u'a' && c <= u'z';
}

// A converted snake-case key starts with a lower-cased piece and has an
// upper-cased first character in each later piece, so a coding key that
// starts with a capital, or is all lower-case letters, can only be matched
// in its own form. Skipping the scan for those keeps the common path cheap.
bool mayComeFromSnakeCase(QLatin1StringView key)
{
    if (key.isEmpty() || isAsciiUpper(key.front()) || key.front() == u'_')
        return false;
    for (const QChar c : key) {
        if (!isAsciiLower(c))
            return true;
    }
    return false;
}

// The converted form of a key when the conversion changes it.
std::optional<QString> snakeCaseForm(const QString &raw)
{
    if (!raw.contains(u'_'))
        return std::nullopt;
    QString converted = WJsonDecoder::convertFromSnakeCase(raw);
    if (converted == raw)
        return std::nullopt;
    return converted;
}

// WJsonDecoder::decode() hands over every number whose text is exactly whole
// and within 64 bits as an integer, and every other number as a fraction.
// JSON that Qt parsed (decodeValue) has no number text left: a whole double
// in range counts there, as Qt holds it.
std::optional<qint64> asInt64(const QCborValue &v)
{
    if (v.isInteger())
        return v.toInteger();
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    constexpr double twoTo63 = 9223372036854775808.0;
    if (!(d >= -twoTo63 && d < twoTo63) || std::trunc(d) != d)
        return std::nullopt;
    return static_cast<qint64>(d);
}

std::optional<QUrl> asUrl(const QCborValue &v)
{
    if (!v.isString())
        return std::nullopt;
    const QString text = v.toString();
    if (text.isEmpty())
        return std::nullopt;
    // A text without a scheme ("abc") parses as a relative path, which is no address.
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QString> asString(const QCborValue &v)
{
    return v.isString() ? std::optional<QString>(v.toString()) : std::nullopt;
}

std::optional<bool> asBool(const QCborValue &v)
{
    return v.isBool() ? std::optional<bool>(v.toBool()) : std::nullopt;
}

constexpr const char *kExpectedInt64 = "expected a whole number within 64 bits";
constexpr const char *kExpectedBool = "expected true or false";

template<class Convert>
auto readOptional(const WJsonObjectReader &json, const QCborValue &v, QLatin1StringView key, Convert convert,
                  const char *expected)
{
    if (v.isUndefined() || v.isNull())
        return decltype(convert(v))();
    auto result = convert(v);
    if (!result)
        json.fail(key, QString::fromLatin1(expected));
    return result;
}

template<class Convert>
auto readRequired(const WJsonObjectReader &json, const QCborValue &v, QLatin1StringView key, Convert convert,
                  const char *expected)
{
    auto result = convert(v);
    if (!result)
        json.fail(key, QString::fromLatin1(expected));
    return result;
}

} // namespace

WJsonObjectReader::WJsonObjectReader(const QJsonObject &object)
    : m_object(QCborMap::fromJsonObject(object))
{
}

WJsonObjectReader::WJsonObjectReader(const QCborMap &object, const WJsonObjectReader *parent,
                                     QLatin1StringView keyInParent, qsizetype indexInParent)
    : m_object(object)
    , m_parent(parent)
    , m_keyInParent(keyInParent)
    , m_indexInParent(indexInParent)
{
}

QCborValue WJsonObjectReader::cborValue(QLatin1StringView key) const
{
    QCborValue v = m_object.value(key);
    if (!v.isUndefined() || !mayComeFromSnakeCase(key))
        return v;
    return snakeCaseValue(key);
}

QCborValue WJsonObjectReader::snakeCaseValue(QLatin1StringView key) const
{
    if (!m_snakeKeys) {
        m_snakeKeys.emplace();
        for (auto it = m_object.constBegin(); it != m_object.constEnd(); ++it) {
            if (std::optional<QString> converted = snakeCaseForm(it.key().toString()))
                m_snakeKeys->append({std::move(*converted), it.value()});
        }
    }
    for (const auto &[converted, v] : std::as_const(*m_snakeKeys)) {
        if (converted == key)
            return v;
    }
    return QCborValue();
}

QCborValue WJsonObjectReader::requiredCborValue(QLatin1StringView key) const
{
    const QCborValue v = cborValue(key);
    if (v.isUndefined())
        fail(key, QStringLiteral("missing required key"));
    if (v.isNull())
        fail(key, QStringLiteral("null for a required key"));
    return v;
}

QString WJsonObjectReader::requiredString(QLatin1StringView key) const
{
    return *readRequired(*this, requiredCborValue(key), key, asString, "expected a string");
}

std::optional<QString> WJsonObjectReader::optionalString(QLatin1StringView key) const
{
    return readOptional(*this, cborValue(key), key, asString, "expected a string");
}

qint64 WJsonObjectReader::requiredInt64(QLatin1StringView key) const
{
    return *readRequired(*this, requiredCborValue(key), key, asInt64, kExpectedInt64);
}

std::optional<qint64> WJsonObjectReader::optionalInt64(QLatin1StringView key) const
{
    return readOptional(*this, cborValue(key), key, asInt64, kExpectedInt64);
}

bool WJsonObjectReader::requiredBool(QLatin1StringView key) const
{
    return *readRequired(*this, requiredCborValue(key), key, asBool, kExpectedBool);
}

std::optional<bool> WJsonObjectReader::optionalBool(QLatin1StringView key) const
{
    return readOptional(*this, cborValue(key), key, asBool, kExpectedBool);
}

QUrl WJsonObjectReader::requiredUrl(QLatin1StringView key) const
{
    return *readRequired(*this, requiredCborValue(key), key, asUrl, "expected a URL");
}

std::optional<QUrl> WJsonObjectReader::optionalUrl(QLatin1StringView key) const
{
    return readOptional(*this, cborValue(key), key, asUrl, "expected a URL");
}

std::optional<QString> WJsonObjectReader::lenientString(QLatin1StringView key) const
{
    return asString(cborValue(key));
}

std::optional<bool> WJsonObjectReader::lenientBool(QLatin1StringView key) const
{
    return asBool(cborValue(key));
}

QString WJsonObjectReader::path(QLatin1StringView key, qsizetype index) const
{
    QStringList segments;
    auto segment = [](QLatin1StringView name, qsizetype i) {
        QString s = name.toString();
        if (i >= 0)
            s += u'[' + QString::number(i) + u']';
        return s;
    };
    if (!key.isEmpty())
        segments.prepend(segment(key, index));
    for (const WJsonObjectReader *r = this; r && r->m_parent; r = r->m_parent)
        segments.prepend(segment(r->m_keyInParent, r->m_indexInParent));
    return segments.join(u'.');
}

void WJsonObjectReader::fail(QLatin1StringView key, const QString &reason, qsizetype index) const
{
    throw WDecodeError(path(key, index), reason);
}

} // namespace WexoCreator
