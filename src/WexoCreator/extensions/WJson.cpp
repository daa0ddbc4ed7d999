#include "WexoCreator/extensions/WJson.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace WexoCreator {

std::optional<QJsonObject> toJSON(const QByteArray &data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace WexoCreator
