#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WJsonObjectReader.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <functional>
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
//
// A walkthrough page written with WJsonObjectWriter::encode(page) reads back
// with WJsonDecoder::decode<Wexo>(text).
class WEXOCREATOR_EXPORT WJsonDecoder
{
public:
    // class_name -> className, Page_Order_No -> pageOrderNo; keys without an
    // inner "_" stay as they are, leading and trailing "_" runs survive.
    static QString convertFromSnakeCase(QStringView key);

    // Integer fields take a number only when its text, as written, is a whole
    // number within 64 bits ("12", "1.2e1", "-0"); any other number fails them.
    template<class T>
    static WDecodeResult<T> decode(const QByteArray &json)
    {
        WDecodeResult<T> result;
        result.error = decodeText(json, rootDecoder(result));
        return result;
    }

    // For JSON already parsed by Qt, whose numbers no longer have their text:
    // an integer field takes an integer value (QJsonValue(qint64(3))) and a
    // whole double within 64 bits as the double holds it (2.0 gives 2, and
    // 9007199254740993.0, which a double cannot hold, gives 9007199254740992);
    // a fraction fails it.
    template<class T>
    static WDecodeResult<T> decodeValue(const QJsonValue &value)
    {
        WDecodeResult<T> result;
        result.error = decodeParsed(value, rootDecoder(result));
        return result;
    }

private:
    using RootDecoder = std::function<void(const WJsonObjectReader &)>;

    // The record is handed over only once it has decoded whole.
    template<class T>
    static RootDecoder rootDecoder(WDecodeResult<T> &result)
    {
        return [&result](const WJsonObjectReader &json) {
            auto record = std::make_shared<T>();
            record->decode(json);
            result.record = std::move(record);
        };
    }

    // Both give the error text, empty on success. Decoding failures are caught
    // inside the library, so a host's build never has to match the error type.
    static QString decodeText(const QByteArray &json, const RootDecoder &decodeRoot);
    static QString decodeParsed(const QJsonValue &value, const RootDecoder &decodeRoot);
};

} // namespace WexoCreator
