#include "WexoCreator/extensions/WStringSlice.h"

namespace WexoCreator {

std::optional<QString> slice(QStringView text, QStringView from, QStringView to)
{
    if (from.isEmpty() || to.isEmpty())
        return std::nullopt;
    const qsizetype start = text.indexOf(from);
    if (start < 0)
        return std::nullopt;
    const qsizetype begin = start + from.size();
    const qsizetype end = text.indexOf(to, begin);
    if (end < 0)
        return std::nullopt;
    return text.sliced(begin, end - begin).toString();
}

} // namespace WexoCreator
