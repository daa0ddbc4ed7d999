#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

namespace WexoCreator {

class Theme;
class WFonts;

// The in-memory walkthrough feed and the download of the theme's fonts.
class WFeedManager
{
public:
    static inline const QString WexoDownloadCompleteNotification = QStringLiteral("Wexo.DownloadComplete.Notification");

    static WFeedManager &shared();

    // Makes every font of the theme available to WFontManager: a cached copy
    // is reused without a request; other fonts are downloaded into the cache.
    // Only http and https addresses are fetched.
    static void downloadFont(const std::shared_ptr<Theme> &theme);

private:
    WFeedManager() = default;

    void downloadFontFile(const QUrl &url, const std::shared_ptr<WFonts> &font);
    static void fontFileArrived(const QUrl &url, const QList<std::shared_ptr<WFonts>> &fonts, const QByteArray &data);

    // Fonts waiting for a download already under way, by address.
    QHash<QUrl, QList<std::shared_ptr<WFonts>>> m_fontDownloads;
};

} // namespace WexoCreator
