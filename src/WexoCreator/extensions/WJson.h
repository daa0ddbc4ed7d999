#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <type_traits>

namespace WexoCreator {

// The bytes as a JSON object; absent when they are not JSON or hold another top level.
std::optional<QJsonObject> toJSON(const QByteArray &data);

// The dictionary's text keys in its own order; keys of other types are skipped.
template <typename Dictionary>
QStringList allKeys(const Dictionary &dictionary)
{
    QStringList keys;
    if constexpr (std::is_same_v<typename Dictionary::key_type, QString>) {
        for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it)
            keys.append(it.key());
    }
    return keys;
}

} // namespace WexoCreator
