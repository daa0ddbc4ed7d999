#pragma once

#include "WexoCreator/WexoCreatorExport.h"

#include <QByteArray>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace WexoCreator {

// Writes one JSON object with its members in the order they are written, which
// QJsonObject (sorted by key) cannot keep. Each key and value text comes from
// Qt's own JSON serialisation, so escaping and number forms are Qt's; 64-bit
// integers are written exactly. Compact: no blanks between tokens.
//
// A record type T is encodable when it has
// `void encode(WJsonObjectWriter &json) const` that writes its coding keys in
// order; WJsonObjectWriter::encode(record) gives the record's JSON text, which
// WJsonDecoder::decode<T>() reads back into an equal record.
class WEXOCREATOR_EXPORT WJsonObjectWriter
{
public:
    template<class T>
    static QByteArray encode(const T &record)
    {
        WJsonObjectWriter json;
        record.encode(json);
        return json.text();
    }

    void write(QLatin1StringView key, const QString &value);
    void write(QLatin1StringView key, bool value);
    void write(QLatin1StringView key, qint64 value);
    // In its fully encoded form, which parses back to the same URL.
    void write(QLatin1StringView key, const QUrl &value);
    // A literal would silently become a bool.
    void write(QLatin1StringView key, const char *value) = delete;

    // Absent values, records and lists are left out.
    template<class V>
    void writeIfPresent(QLatin1StringView key, const std::optional<V> &value)
    {
        if (value)
            write(key, *value);
    }

    template<class T>
    void writeIfPresent(QLatin1StringView key, const std::shared_ptr<T> &record)
    {
        if (record)
            writeMember(key, encode(*record));
    }

    template<class T>
    void writeIfPresent(QLatin1StringView key, const std::optional<QList<std::shared_ptr<T>>> &list)
    {
        if (!list)
            return;
        QByteArray text;
        for (const std::shared_ptr<T> &element : *list) {
            // A decoded list holds no null element, and a null one could not decode back.
            if (!element)
                continue;
            text += text.isEmpty() ? '[' : ',';
            text += encode(*element);
        }
        writeMember(key, text.isEmpty() ? QByteArray("[]") : text + ']');
    }

    // An object written by another writer.
    void writeObject(QLatin1StringView key, const WJsonObjectWriter &object) { writeMember(key, object.text()); }

    // "{...}" with the members written so far.
    QByteArray text() const;

private:
    void writeMember(QLatin1StringView key, const QByteArray &valueText);

    QByteArray m_members;
};

} // namespace WexoCreator
