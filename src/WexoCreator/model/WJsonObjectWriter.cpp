#include "WexoCreator/model/WJsonObjectWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace WexoCreator {

namespace {

// Qt's compact text of one value, taken from inside a one-element array.
QByteArray valueText(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.sliced(1, array.size() - 2);
}

} // namespace

void WJsonObjectWriter::write(QLatin1StringView key, const QString &value)
{
    writeMember(key, valueText(QJsonValue(value)));
}

void WJsonObjectWriter::write(QLatin1StringView key, bool value)
{
    writeMember(key, valueText(QJsonValue(value)));
}

void WJsonObjectWriter::write(QLatin1StringView key, qint64 value)
{
    writeMember(key, valueText(QJsonValue(value)));
}

void WJsonObjectWriter::write(QLatin1StringView key, const QUrl &value)
{
    write(key, value.toString(QUrl::FullyEncoded));
}

QByteArray WJsonObjectWriter::text() const
{
    return '{' + m_members + '}';
}

void WJsonObjectWriter::writeMember(QLatin1StringView key, const QByteArray &text)
{
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += valueText(QJsonValue(QString(key)));
    m_members += ':';
    m_members += text;
}

} // namespace WexoCreator
