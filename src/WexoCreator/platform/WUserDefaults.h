#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace WexoCreator {

// A small typed key-value store kept in one JSON file of the library's own,
// readable by its owner only (it holds credentials). Every change is written
// at once, atomically, so a crash never leaves a half-written store.
class WUserDefaults
{
public:
    // The store in the application's configuration folder.
    static WUserDefaults &standard();
    static QString defaultFilePath();

    explicit WUserDefaults(const QString &filePath);

    std::optional<QString> string(const QString &key) const;
    void setString(const QString &key, const QString &value);

    // An absent or non-boolean value reads as false, as callers of a flag expect.
    bool boolValue(const QString &key) const;
    void setBool(const QString &key, bool value);

    QJsonValue value(const QString &key) const;
    void setValue(const QString &key, const QJsonValue &value);
    bool contains(const QString &key) const;
    void remove(const QString &key);

    // Reads the file again (another instance may have written it).
    void reload();
    QString filePath() const { return m_filePath; }

private:
    bool save() const;

    QString m_filePath;
    QJsonObject m_values;
};

} // namespace WexoCreator
