#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace WexoCreator {

// Kinds of download; the raw value is the folder name under the documents folder.
enum class WFileType {
    Font,
    JSON,
};

// The download folders and the files stored in them. Stored file names come
// from remote URLs, so they are reduced to a safe set of characters, and two
// URLs that end in the same name get distinct files. Which URL owns which file
// is kept in an index beside the files, so a cached file is only ever reused
// for the URL it was downloaded from.
class WFileManager
{
public:
    static QString rawValue(WFileType type);
    static std::optional<WFileType> fileTypeFromRawValue(const QString &rawValue);

    // The application's data folder (not created here).
    static QString documentsDirectory();
    // The download folder of a type, created when missing; absent when it
    // cannot be created or a non-folder stands in its place.
    static std::optional<QString> folderURL(WFileType type);

    // The last path segment of the URL reduced to [A-Za-z0-9._-]; absent when
    // nothing usable is left ("", "." or "..").
    static std::optional<QString> sanitizedFileName(const QUrl &remoteUrl);

    // Where the file of this URL is (or would be) stored. Absent when the
    // folder is not available.
    static std::optional<QString> storedFilePath(const QUrl &remoteUrl, WFileType type);
    // The stored copy of this URL when one exists.
    static std::optional<QString> cachedFilePath(const QUrl &remoteUrl, WFileType type);

    // Writes freshly downloaded bytes for the URL (atomically, replacing an
    // older copy) and returns the stored file's path, or absent on failure.
    static std::optional<QString> downloadedFilePath(const QUrl &remoteUrl, WFileType type, const QByteArray &data);

    // Deletes a stored file and forgets its owner, so the next run downloads it again.
    static void removeStoredFile(const QString &path);
    // Deletes every file of the type's folder whose address is not among `kept`
    // (files the index does not know included) and answers their paths.
    static QStringList removeFilesExcept(WFileType type, const QList<QUrl> &kept);
};

} // namespace WexoCreator
