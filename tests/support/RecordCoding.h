#pragma once

#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WJsonObjectWriter.h"
#include "support/RecordEquality.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>

namespace WexoCreator {

// Writes a record back and decodes that text again: "" when that gives an
// equal record (field by field, see RecordEquality.h), else what went wrong.
template<class T>
QString writeBackMismatch(const T &record)
{
    const QByteArray text = WJsonObjectWriter::encode(record);
    const WDecodeResult<T> again = WJsonDecoder::decode<T>(text);
    if (!again)
        return QStringLiteral("written as %1, which does not decode: %2").arg(QString::fromUtf8(text), again.error);
    if (!sameRecord(record, *again.record)) {
        return QStringLiteral("written as %1, which decodes into another record, written as %2")
            .arg(QString::fromUtf8(text), QString::fromUtf8(WJsonObjectWriter::encode(*again.record)));
    }
    return {};
}

// Checks a record's CodingKeys against its key texts in case order: each case
// has its text, each text gives back its case, and a text in another letter
// case or with a blank gives none. "" when all hold.
template<class T>
QString codingKeyMismatch(const QStringList &texts)
{
    using Keys = typename T::CodingKeys;
    if (T::codingKeys.size() != std::size_t(texts.size()))
        return QStringLiteral("%1 cases for %2 texts").arg(T::codingKeys.size()).arg(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &text = texts.at(i);
        if (T::codingKeys[Keys(i)] != text)
            return QStringLiteral("case %1 has the text %2, not %3").arg(i).arg(T::codingKeys[Keys(i)], text);
        if (T::codingKeys.key(text) != Keys(i))
            return QStringLiteral("%1 does not give case %2").arg(text).arg(i);
        QString otherCase = text;
        otherCase[0] = text.at(0).isUpper() ? text.at(0).toLower() : text.at(0).toUpper();
        for (const QString &near : {otherCase, text + u' ', text.toUpper()}) {
            if (!texts.contains(near) && T::codingKeys.key(near))
                return QStringLiteral("%1 gives a case").arg(near);
        }
    }
    return {};
}

// What the record tests do with one record kind, looked up by its name.
struct RecordKind {
    // The record decoded from json and written back; "fail" when json does not
    // decode, the mismatch when the text does not decode into an equal record.
    std::function<QByteArray(const QByteArray &json)> written;
    std::function<QString(const QStringList &texts)> codingKeyMismatch;
};

// prepare sets fields after decoding, e.g. the run-time fields that must not be written.
template<class T>
RecordKind recordKind(std::function<void(T &)> prepare = {})
{
    return {[prepare](const QByteArray &json) -> QByteArray {
                const WDecodeResult<T> result = WJsonDecoder::decode<T>(json);
                if (!result)
                    return "fail";
                if (prepare)
                    prepare(*result.record);
                const QString mismatch = writeBackMismatch(*result.record);
                return mismatch.isEmpty() ? WJsonObjectWriter::encode(*result.record) : mismatch.toUtf8();
            },
            codingKeyMismatch<T>};
}

// The columns of a golden-text table: the kind, the JSON it decodes from, the text it writes.
inline void addWrittenRecordColumns()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("text");
}

inline void addWrittenRecordRow(const char *name, const char *kind, const char *json, const char *text)
{
    QTest::newRow(name) << QString::fromLatin1(kind) << QByteArray(json) << QByteArray(text);
}

} // namespace WexoCreator
