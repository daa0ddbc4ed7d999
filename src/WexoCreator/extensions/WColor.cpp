#include "WexoCreator/extensions/WColor.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace WexoCreator {

namespace {

// Characters as a reader sees them, so an accented letter or an emoji counts once.
QStringList graphemes(const QString &text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        result.append(text.mid(start, end - start));
        start = end;
    }
    return result;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isAsciiSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

// Read as strtoul reads base 16: leading blanks skipped, one "+" allowed, then
// the hex digits up to the first other character. A "-" is just a non-digit
// here (value 0), so the value never wraps around out of 0...255.
int pairValue(const QString &pair)
{
    qsizetype i = 0;
    while (i < pair.size() && isAsciiSpace(pair.at(i)))
        ++i;
    if (i < pair.size() && pair.at(i) == u'+')
        ++i;
    int value = 0;
    for (; i < pair.size(); ++i) {
        const int digit = hexDigitValue(pair.at(i));
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

std::optional<QColor> colorFromHex(const QString &text)
{
    QStringList chars = graphemes(text.startsWith(u'#') ? text.mid(1) : text);
    if (chars.size() == 3) {
        QStringList doubled;
        for (const QString &c : std::as_const(chars))
            doubled << c << c;
        chars = doubled;
    }
    if (chars.size() == 6)
        chars = QStringList{QStringLiteral("F"), QStringLiteral("F")} + chars;
    if (chars.size() != 8)
        return std::nullopt;

    int components[4];
    for (int i = 0; i < 4; ++i)
        components[i] = pairValue(chars.at(2 * i) + chars.at(2 * i + 1));
    const auto [alpha, red, green, blue] = components;
    return QColor(red, green, blue, alpha);
}

} // namespace WexoCreator
