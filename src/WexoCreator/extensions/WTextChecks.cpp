#include "WexoCreator/extensions/WTextChecks.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace WexoCreator {

bool isBlank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\t' || c.category() == QChar::Separator_Space;
    });
}

bool isEmail(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.isValid() && pattern.match(text).hasMatch();
}

bool isAlphanumeric(const QString &text)
{
    // Checked character by character: a pattern search gives up on text that
    // is not well-formed UTF-16 and then finds nothing to object to.
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
    });
}

bool isValidPassword(const QString &text)
{
    // \z, not $: "$" also matches before a final line feed, which would let
    // a password end in a character outside the allowed set.
    static const QRegularExpression pattern(QStringLiteral("^[a-zA-Z_0-9\\-_,;.:#+*?=!§$%&/()@]+\\z"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (!pattern.isValid() || !pattern.match(text).hasMatch())
        return false;
    const qsizetype length = graphemeCount(text);
    return length >= 6 && length <= 20;
}

qsizetype graphemeCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace WexoCreator
