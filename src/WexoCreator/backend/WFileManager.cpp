#include "WexoCreator/backend/WFileManager.h"

#include "WexoCreator/platform/WLogging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

namespace WexoCreator {

namespace {

// '#' never survives sanitising, so no downloaded file can take this name.
const QString kIndexFileName = QStringLiteral("#sources.json");
constexpr qsizetype kMaxFileNameLength = 120;

QString sourceKey(const QUrl &remoteUrl)
{
    return QString::fromLatin1(remoteUrl.toEncoded());
}

QString shortHash(const QUrl &remoteUrl, int hexDigits)
{
    const QByteArray hash = QCryptographicHash::hash(remoteUrl.toEncoded(), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(hash.left(hexDigits));
}

QJsonObject readIndex(const QString &folder)
{
    QFile file(QDir(folder).filePath(kIndexFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool writeIndex(const QString &folder, const QJsonObject &index)
{
    QSaveFile file(QDir(folder).filePath(kIndexFileName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(index).toJson(QJsonDocument::Compact));
    return file.commit();
}

std::optional<QString> ownedFileName(const QJsonObject &index, const QString &source)
{
    for (auto it = index.begin(); it != index.end(); ++it) {
        if (it.value().toString() == source)
            return it.key();
    }
    return std::nullopt;
}

QString withHash(const QString &fileName, const QString &hash)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return fileName + QLatin1Char('-') + hash;
    return fileName.left(dot) + QLatin1Char('-') + hash + fileName.mid(dot);
}

// The file name for a URL given what the index already holds.
QString fileNameFor(const QUrl &remoteUrl, const QJsonObject &index)
{
    const QString source = sourceKey(remoteUrl);
    if (const auto owned = ownedFileName(index, source))
        return *owned;
    const auto sanitized = WFileManager::sanitizedFileName(remoteUrl);
    if (!sanitized)
        return QStringLiteral("file-") + shortHash(remoteUrl, 16);
    const QString owner = index.value(*sanitized).toString();
    if (owner.isEmpty() || owner == source)
        return *sanitized;
    return withHash(*sanitized, shortHash(remoteUrl, 8));
}

} // namespace

QString WFileManager::rawValue(WFileType type)
{
    switch (type) {
    case WFileType::Font:
        return QStringLiteral("w_font");
    case WFileType::JSON:
        return QStringLiteral("w_json");
    }
    return {};
}

std::optional<WFileType> WFileManager::fileTypeFromRawValue(const QString &rawValue)
{
    for (const WFileType type : {WFileType::Font, WFileType::JSON}) {
        if (WFileManager::rawValue(type) == rawValue)
            return type;
    }
    return std::nullopt;
}

QString WFileManager::documentsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

std::optional<QString> WFileManager::folderURL(WFileType type)
{
    const QString documents = documentsDirectory();
    if (documents.isEmpty()) {
        qCDebug(lcBackend) << "e: no data folder for this application";
        return std::nullopt;
    }
    const QString folder = QDir(documents).filePath(rawValue(type));
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        qCDebug(lcBackend) << "e: not a folder:" << folder;
        return std::nullopt;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        qCDebug(lcBackend) << "e: could not create" << folder;
        return std::nullopt;
    }
    return folder;
}

std::optional<QString> WFileManager::sanitizedFileName(const QUrl &remoteUrl)
{
    QByteArray path = remoteUrl.path(QUrl::FullyEncoded).toUtf8();
    while (path.endsWith('/'))
        path.chop(1);
    // Decode only after splitting, so an escaped "/" cannot add a path level.
    const QByteArray lastSegment = QByteArray::fromPercentEncoding(path.mid(path.lastIndexOf('/') + 1));
    QString name;
    for (const char c : lastSegment) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-')
            name += QLatin1Char(c);
    }
    if (name.size() > kMaxFileNameLength)
        name = name.right(kMaxFileNameLength);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    return name;
}

std::optional<QString> WFileManager::storedFilePath(const QUrl &remoteUrl, WFileType type)
{
    const auto folder = folderURL(type);
    if (!folder)
        return std::nullopt;
    return QDir(*folder).filePath(fileNameFor(remoteUrl, readIndex(*folder)));
}

std::optional<QString> WFileManager::cachedFilePath(const QUrl &remoteUrl, WFileType type)
{
    const auto folder = folderURL(type);
    if (!folder)
        return std::nullopt;
    const auto owned = ownedFileName(readIndex(*folder), sourceKey(remoteUrl));
    if (!owned)
        return std::nullopt;
    const QString path = QDir(*folder).filePath(*owned);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

std::optional<QString> WFileManager::downloadedFilePath(const QUrl &remoteUrl, WFileType type, const QByteArray &data)
{
    const auto folder = folderURL(type);
    if (!folder)
        return std::nullopt;
    QJsonObject index = readIndex(*folder);
    const QString fileName = fileNameFor(remoteUrl, index);
    const QString path = QDir(*folder).filePath(fileName);

    // Written beside the target and renamed over it: a reader never sees half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        qCDebug(lcBackend) << "Error copying:" << file.errorString();
        return std::nullopt;
    }
    index.insert(fileName, sourceKey(remoteUrl));
    if (!writeIndex(*folder, index))
        qCDebug(lcBackend) << "e: could not record the source of" << path;
    return path;
}

void WFileManager::removeStoredFile(const QString &path)
{
    const QFileInfo info(path);
    QFile::remove(path);
    const QString folder = info.absolutePath();
    QJsonObject index = readIndex(folder);
    if (!index.contains(info.fileName()))
        return;
    index.remove(info.fileName());
    writeIndex(folder, index);
}

QStringList WFileManager::removeFilesExcept(WFileType type, const QList<QUrl> &kept)
{
    const auto folder = folderURL(type);
    if (!folder)
        return {};
    QSet<QString> keptSources;
    for (const QUrl &url : kept)
        keptSources.insert(sourceKey(url));
    QJsonObject index = readIndex(*folder);
    QStringList removed;
    const QDir dir(*folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name == kIndexFileName || keptSources.contains(index.value(name).toString()))
            continue;
        const QString path = dir.filePath(name);
        if (QFile::remove(path)) {
            removed.append(path);
            index.remove(name);
        }
    }
    if (!removed.isEmpty() && !writeIndex(*folder, index))
        qCDebug(lcBackend) << "e: could not update the index of" << *folder;
    return removed;
}

} // namespace WexoCreator
