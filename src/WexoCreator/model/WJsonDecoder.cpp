#include "WexoCreator/model/WJsonDecoder.h"

#include <QList>

namespace WexoCreator {

namespace {

// The first character of a piece upper-cased, the rest lower-cased; a
// surrogate pair counts as one character.
QString capitalised(QStringView piece)
{
    const qsizetype firstLength = (piece.size() > 1 && piece.at(0).isHighSurrogate() && piece.at(1).isLowSurrogate()) ? 2 : 1;
    return piece.first(firstLength).toString().toUpper() + piece.sliced(firstLength).toString().toLower();
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

} // namespace WexoCreator
