#pragma once

#include "WexoCreator/WexoCreatorExport.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>
#include <utility>

namespace WexoCreator {

// Typed, strict access to one JSON object while a record decodes. Answers
// are decoded with WJsonDecoder::decode<Root>(body), which gives the root
// record or, on any failure, no record and an error text with the path.
//
// A record type T is decodable when it is default-constructible (every field
// at its initial value) and has `void decode(const WJsonObjectReader &json)`
// that reads its coding keys in order, e.g.
//     OrderNumber = json.requiredInt64(QLatin1StringView("OrderNumber"));
//     Title = json.optionalString(QLatin1StringView("Title"));
//     values = json.optionalList<WexoStep>(QLatin1StringView("values"));
//
// Keys are matched after the snake-case conversion of the JSON's keys
// (WJsonDecoder::convertFromSnakeCase), exactly and case-sensitively. When a
// key written in the coding key's own form and a snake-case key that converts
// to it are both present, the one in the coding key's own form wins.
//
// Accepted values:
//   string: a JSON string
//   int64:  a number whose value, as written, is whole and within the signed
//           64-bit range (no other read takes a number, so a number's value
//           is only ever read exactly)
//   bool:   true or false (not 0 or 1)
//   url:    a string that parses as a URL with a non-empty scheme
//   record: an object, decoded by T::decode
//   list:   an array whose every element is an object decoded by T::decode
// A required key must be present and not null. An optional key that is
// missing or null gives an absent value. Anything else throws WDecodeError,
// which carries the path of the field; the first failure ends the decoding
// of the whole answer. Keys that match no coding key are ignored.
//
// The lenient reads are for records that skip bad fields instead of failing.
class WEXOCREATOR_EXPORT WJsonObjectReader
{
public:
    explicit WJsonObjectReader(const QJsonObject &object);

    QString requiredString(QLatin1StringView key) const;
    std::optional<QString> optionalString(QLatin1StringView key) const;
    qint64 requiredInt64(QLatin1StringView key) const;
    std::optional<qint64> optionalInt64(QLatin1StringView key) const;
    bool requiredBool(QLatin1StringView key) const;
    std::optional<bool> optionalBool(QLatin1StringView key) const;
    QUrl requiredUrl(QLatin1StringView key) const;
    std::optional<QUrl> optionalUrl(QLatin1StringView key) const;

    template<class T>
    std::shared_ptr<T> requiredRecord(QLatin1StringView key) const
    {
        return decodeRecord<T>(requiredCborValue(key), key, -1);
    }

    // Null when the key is missing or null.
    template<class T>
    std::shared_ptr<T> optionalRecord(QLatin1StringView key) const
    {
        const QCborValue v = cborValue(key);
        if (v.isUndefined() || v.isNull())
            return {};
        return decodeRecord<T>(v, key, -1);
    }

    template<class T>
    QList<std::shared_ptr<T>> requiredList(QLatin1StringView key) const
    {
        return decodeList<T>(requiredCborValue(key), key);
    }

    template<class T>
    std::optional<QList<std::shared_ptr<T>>> optionalList(QLatin1StringView key) const
    {
        const QCborValue v = cborValue(key);
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        return decodeList<T>(v, key);
    }

    // Absent for a missing key, null or a value of another JSON type.
    std::optional<QString> lenientString(QLatin1StringView key) const;
    std::optional<bool> lenientBool(QLatin1StringView key) const;

    // The dotted path of a key of this object from the root of the answer.
    QString path(QLatin1StringView key = {}, qsizetype index = -1) const;
    [[noreturn]] void fail(QLatin1StringView key, const QString &reason, qsizetype index = -1) const;

private:
    // The value under a coding key, undefined when there is none; the second
    // fails when it is missing or null. Parsed JSON is held in the same
    // container, so these read without converting. Kept to the typed reads:
    // they are what decides how a number's value may be read.
    QCborValue cborValue(QLatin1StringView key) const;
    QCborValue requiredCborValue(QLatin1StringView key) const;

    WJsonObjectReader(const QCborMap &object, const WJsonObjectReader *parent, QLatin1StringView keyInParent,
                      qsizetype indexInParent);

    QCborValue snakeCaseValue(QLatin1StringView key) const;

    template<class T>
    std::shared_ptr<T> decodeRecord(const QCborValue &v, QLatin1StringView key, qsizetype index) const
    {
        if (!v.isMap())
            fail(key, QStringLiteral("expected an object"), index);
        const WJsonObjectReader child(v.toMap(), this, key, index);
        auto record = std::make_shared<T>();
        record->decode(child);
        return record;
    }

    template<class T>
    QList<std::shared_ptr<T>> decodeList(const QCborValue &v, QLatin1StringView key) const
    {
        if (!v.isArray())
            fail(key, QStringLiteral("expected an array"));
        const QCborArray array = v.toArray();
        QList<std::shared_ptr<T>> list;
        list.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i)
            list.append(decodeRecord<T>(array.at(i), key, i));
        return list;
    }

    QCborMap m_object;
    const WJsonObjectReader *m_parent = nullptr;
    QLatin1StringView m_keyInParent;
    qsizetype m_indexInParent = -1;
    // Keys with an inner "_", converted; built on first need.
    mutable std::optional<QList<std::pair<QString, QCborValue>>> m_snakeKeys;
};

} // namespace WexoCreator
