#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace WexoCreator {

// Thrown while a record decodes; never leaves WJsonDecoder::decode(), which
// turns it into an absent record and an error text. The path names the bad
// field, e.g. "className[1].values[0].OrderNumber".
class WDecodeError : public std::exception
{
public:
    WDecodeError(const QString &path, const QString &reason);

    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    // "<path>: <reason>", or the reason alone at the top level.
    QString toString() const;
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_path;
    QString m_reason;
    QByteArray m_what;
};

} // namespace WexoCreator
