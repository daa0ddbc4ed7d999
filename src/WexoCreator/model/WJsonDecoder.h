#pragma once

#include "WexoCreator/model/WDecodeError.h"
#include "WexoCreator/model/WJsonObjectReader.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <memory>

namespace WexoCreator {

// The outcome of decoding one answer: the root record, or no record and a
// short error text naming the bad field (for the debug print only).
template<class T>
struct WDecodeResult {
    std::shared_ptr<T> record;
    QString error;

    explicit operator bool() const { return record != nullptr; }
};

// The one decoder for every backend answer. It parses the body as JSON and
// decodes the top-level object as the answer's root record T (see
// WJsonObjectReader for what a record provides and which values it accepts).
// Any failure, anywhere in the answer, gives no record at all.
class WJsonDecoder
{
public:
    // class_name -> className, Page_Order_No -> pageOrderNo; keys without an
    // inner "_" stay as they are, leading and trailing "_" runs survive.
    static QString convertFromSnakeCase(QStringView key);

    template<class T>
    static WDecodeResult<T> decode(const QByteArray &json)
    {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return {nullptr, QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset)};
        if (!document.isObject())
            return {nullptr, QStringLiteral("expected an object at the top level")};
        return decodeValue<T>(QJsonValue(document.object()));
    }

    template<class T>
    static WDecodeResult<T> decodeValue(const QJsonValue &value)
    {
        if (!value.isObject())
            return {nullptr, QStringLiteral("expected an object at the top level")};
        try {
            const WJsonObjectReader reader(value.toObject());
            auto record = std::make_shared<T>();
            record->decode(reader);
            return {std::move(record), {}};
        } catch (const WDecodeError &error) {
            return {nullptr, error.toString()};
        }
    }
};

} // namespace WexoCreator
