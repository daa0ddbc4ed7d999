#include "WexoCreator/platform/WUserDefaults.h"

#include "WexoCreator/platform/WLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace WexoCreator {

WUserDefaults &WUserDefaults::standard()
{
    static WUserDefaults defaults(defaultFilePath());
    return defaults;
}

QString WUserDefaults::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
           + QStringLiteral("/wexocreator-defaults.json");
}

WUserDefaults::WUserDefaults(const QString &filePath)
    : m_filePath(filePath)
{
    reload();
}

void WUserDefaults::reload()
{
    m_values = {};
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlatform) << "cannot read the user defaults:" << file.errorString();
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        // Keep the damaged file untouched until the next write replaces it.
        qCWarning(lcPlatform) << "the user defaults file is damaged; starting empty";
        return;
    }
    m_values = document.object();
}

std::optional<QString> WUserDefaults::string(const QString &key) const
{
    const QJsonValue v = m_values.value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

void WUserDefaults::setString(const QString &key, const QString &value)
{
    setValue(key, value);
}

bool WUserDefaults::boolValue(const QString &key) const
{
    const QJsonValue v = m_values.value(key);
    return v.isBool() && v.toBool();
}

void WUserDefaults::setBool(const QString &key, bool value)
{
    setValue(key, value);
}

QJsonValue WUserDefaults::value(const QString &key) const
{
    return m_values.value(key);
}

void WUserDefaults::setValue(const QString &key, const QJsonValue &value)
{
    if (value.isUndefined()) {
        remove(key);
        return;
    }
    m_values.insert(key, value);
    save();
}

bool WUserDefaults::contains(const QString &key) const
{
    return m_values.contains(key);
}

void WUserDefaults::remove(const QString &key)
{
    if (!m_values.contains(key))
        return;
    m_values.remove(key);
    save();
}

bool WUserDefaults::save() const
{
    const QFileInfo info(m_filePath);
    QDir dir = info.absoluteDir();
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        qCWarning(lcPlatform) << "cannot create the folder of the user defaults";
        return false;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcPlatform) << "cannot write the user defaults:" << file.errorString();
        return false;
    }
    // Owner-only before any byte is written: the store holds credentials.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        qCWarning(lcPlatform) << "cannot save the user defaults:" << file.errorString();
        return false;
    }
    return true;
}

} // namespace WexoCreator
