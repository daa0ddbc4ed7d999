#include "WexoCreator/model/WJsonDecoder.h"

#include "WexoCreator/model/WDecodeError.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QList>

#include <algorithm>
#include <cstring>
#include <optional>

namespace WexoCreator {

namespace {

// The first character of a piece upper-cased, the rest lower-cased; a
// surrogate pair counts as one character.
QString capitalised(QStringView piece)
{
    const qsizetype firstLength = (piece.size() > 1 && piece.at(0).isHighSurrogate() && piece.at(1).isLowSurrogate()) ? 2 : 1;
    return piece.first(firstLength).toString().toUpper() + piece.sliced(firstLength).toString().toLower();
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNumberCharacter(char c)
{
    return isDigit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

// What every number that is not exactly a whole 64-bit value is handed to Qt
// as: a fraction, which no integer read takes. No read takes a number's value
// other than the integer reads, so the value it stands for is never needed.
constexpr char kNotWhole[] = "0.5";

// The text Qt should parse in place of a number token, absent when the token
// can stay: a plain integer literal within 64 bits (which Qt keeps exactly),
// or a text Qt refuses as a number. The token's grammar is the one Qt's parser
// accepts ("1." and ".5" included), so a refused token stays refused.
std::optional<QByteArray> replacementFor(const char *token, qsizetype length)
{
    const char *p = token;
    const char *end = token + length;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    const char *intBegin = p;
    if (p < end && *p == '0')
        ++p;
    else
        while (p < end && isDigit(*p))
            ++p;
    const char *intEnd = p;
    const char *fracBegin = p;
    const char *fracEnd = p;
    const bool hasPoint = p < end && *p == '.';
    if (hasPoint) {
        fracBegin = ++p;
        while (p < end && isDigit(*p))
            ++p;
        fracEnd = p;
    }
    qint64 exponent = 0;
    const bool hasExponent = p < end && (*p == 'e' || *p == 'E');
    if (hasExponent) {
        ++p;
        const bool negativeExponent = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        const char *exponentBegin = p;
        for (; p < end && isDigit(*p); ++p)
            exponent = std::min<qint64>(exponent * 10 + (*p - '0'), 1'000'000'000); // past any whole 64-bit value
        if (p == exponentBegin)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (p != end || (intBegin == intEnd && fracBegin == fracEnd))
        return std::nullopt;

    const QByteArrayView limit = negative ? "9223372036854775808" : "9223372036854775807";
    if (!hasPoint && !hasExponent) {
        const QByteArrayView digits(intBegin, intEnd - intBegin);
        const bool inRange = digits.size() < limit.size() || (digits.size() == limit.size() && digits <= limit);
        return inRange ? std::nullopt : std::optional<QByteArray>(kNotWhole);
    }

    // The significant digits, without leading or trailing zeros, and the power of ten they scale by.
    QByteArray digits = QByteArray(intBegin, intEnd - intBegin) + QByteArray(fracBegin, fracEnd - fracBegin);
    exponent -= fracEnd - fracBegin;
    qsizetype first = 0;
    while (first < digits.size() && digits.at(first) == '0')
        ++first;
    digits.remove(0, first);
    if (digits.isEmpty())
        return QByteArray("0"); // -0.0 and 0e5 are zero, a whole number
    while (digits.endsWith('0')) {
        digits.chop(1);
        ++exponent;
    }
    if (exponent < 0 || digits.size() + exponent > limit.size())
        return QByteArray(kNotWhole);
    digits.append(QByteArray(exponent, '0'));
    if (digits.size() == limit.size() && QByteArrayView(digits) > limit)
        return QByteArray(kNotWhole);
    return negative ? '-' + digits : digits;
}

// Just past the quote that closes a text whose content starts at from: the
// first quote after an even run of backslashes (texts make up most of an answer).
qsizetype endOfText(const char *text, qsizetype from, qsizetype size)
{
    while (from < size) {
        const void *quote = std::memchr(text + from, '"', size_t(size - from));
        if (!quote)
            return size;
        const qsizetype at = static_cast<const char *>(quote) - text;
        qsizetype backslashes = 0;
        while (at - backslashes > from && text[at - backslashes - 1] == '\\')
            ++backslashes;
        from = at + 1;
        if (backslashes % 2 == 0)
            return from;
    }
    return size;
}

// Qt's parser keeps a number exactly only when it is written as a plain
// integer literal within 64 bits. It reads every other number as a double and
// stores a whole double as an integer, so 9007199254740993.0 arrives as
// ...992 and 1.0000000000000000001 as 1. So each number is judged on its own
// text first: one whose exact value is whole and within 64 bits is written as
// a plain integer literal, every other one as a fraction. Texts are skipped.
QByteArray withNumbersJudgedOnTheirText(const QByteArray &json)
{
    QByteArray rewritten;
    qsizetype copied = 0;
    const char *text = json.constData();
    const qsizetype size = json.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = text[i];
        if (c == '"') {
            i = endOfText(text, i + 1, size);
            continue;
        }
        if (c != '-' && c != '.' && !isDigit(c)) {
            ++i;
            continue;
        }
        const qsizetype begin = i;
        while (i < size && isNumberCharacter(text[i]))
            ++i;
        const std::optional<QByteArray> replacement = replacementFor(text + begin, i - begin);
        if (!replacement)
            continue;
        rewritten.append(text + copied, begin - copied);
        rewritten.append(*replacement);
        copied = i;
    }
    if (copied == 0)
        return json;
    rewritten.append(text + copied, size - copied);
    return rewritten;
}

QString decodeObject(const QJsonObject &object, const std::function<void(const WJsonObjectReader &)> &decodeRoot)
{
    try {
        decodeRoot(WJsonObjectReader(object));
        return {};
    } catch (const WDecodeError &error) {
        return error.toString();
    }
}

} // namespace

QString WJsonDecoder::convertFromSnakeCase(QStringView key)
{
    qsizetype begin = 0;
    while (begin < key.size() && key.at(begin) == u'_')
        ++begin;
    qsizetype end = key.size();
    while (end > begin && key.at(end - 1) == u'_')
        --end;
    const QStringView core = key.sliced(begin, end - begin);
    if (!core.contains(u'_'))
        return key.toString();

    const QList<QStringView> pieces = core.split(u'_', Qt::SkipEmptyParts);
    QString converted = key.first(begin).toString();
    converted += pieces.first().toString().toLower();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        converted += capitalised(pieces.at(i));
    converted += key.sliced(end);
    return converted;
}

QString WJsonDecoder::decodeText(const QByteArray &json, const RootDecoder &decodeRoot)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(withNumbersJudgedOnTheirText(json), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
    if (!document.isObject())
        return QStringLiteral("expected an object at the top level");
    return decodeObject(document.object(), decodeRoot);
}

QString WJsonDecoder::decodeParsed(const QJsonValue &value, const RootDecoder &decodeRoot)
{
    if (!value.isObject())
        return QStringLiteral("expected an object at the top level");
    return decodeObject(value.toObject(), decodeRoot);
}

} // namespace WexoCreator
