#include "WexoCreator/backend/WFeedManager.h"

#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/backend/WService.h"
#include "WexoCreator/platform/WLogging.h"

#include <QFile>

namespace WexoCreator {

namespace {

std::optional<QUrl> fontAddress(const WFonts &font)
{
    if (!font.fontUrl())
        return std::nullopt;
    const QUrl url(*font.fontUrl(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        qCDebug(lcBackend) << "font address skipped:" << *font.fontUrl();
        return std::nullopt;
    }
    return url;
}

// A stored font file that registers; a file that does not is deleted by the font manager.
std::optional<QString> usableCachedFont(const QUrl &url)
{
    const auto cached = WFileManager::cachedFilePath(url, WFileType::Font);
    if (!cached || !WFontManager::shared().registerFile(*cached))
        return std::nullopt;
    return cached;
}

} // namespace

WFeedManager &WFeedManager::shared()
{
    static WFeedManager instance;
    return instance;
}

void WFeedManager::downloadFont(const std::shared_ptr<Theme> &theme)
{
    if (!theme || !theme->config() || !theme->config()->Configurations())
        return;
    const auto &fonts = theme->config()->Configurations()->fonts();
    if (!fonts)
        return;
    for (const auto &font : *fonts) {
        if (!font)
            continue;
        const auto url = fontAddress(*font);
        if (!url)
            continue;
        if (const auto cached = usableCachedFont(*url)) {
            font->setLocalURL(QUrl::fromLocalFile(*cached));
            WFontManager::saveFont(font);
            continue;
        }
        shared().downloadFontFile(*url, font);
    }
}

void WFeedManager::downloadFontFile(const QUrl &url, const std::shared_ptr<WFonts> &font)
{
    // The theme arrives twice at start-up; one request per address is enough.
    auto pending = m_fontDownloads.find(url);
    if (pending != m_fontDownloads.end()) {
        pending->append(font);
        return;
    }
    m_fontDownloads.insert(url, {font});
    WService::downloadResource(url, [url](bool, std::optional<QString> temporaryFile) {
        const QList<std::shared_ptr<WFonts>> waiting = shared().m_fontDownloads.take(url);
        if (!temporaryFile)
            return;
        QFile file(*temporaryFile);
        if (!file.open(QIODevice::ReadOnly)) {
            qCDebug(lcBackend) << "Error copying:" << file.errorString();
            return;
        }
        fontFileArrived(url, waiting, file.readAll());
    });
}

void WFeedManager::fontFileArrived(const QUrl &url, const QList<std::shared_ptr<WFonts>> &fonts, const QByteArray &data)
{
    const auto stored = WFileManager::downloadedFilePath(url, WFileType::Font, data);
    if (!stored) {
        // No cache to write to: the font still works for this run.
        for (const auto &font : fonts) {
            font->setLocalURL(std::nullopt);
            WFontManager::saveFont(font, data);
        }
        return;
    }
    WFontManager::shared().forgetFile(*stored);
    const bool usable = WFontManager::shared().registerFile(*stored).has_value();
    for (const auto &font : fonts) {
        font->setLocalURL(usable ? std::optional<QUrl>(QUrl::fromLocalFile(*stored)) : std::nullopt);
        WFontManager::saveFont(font);
    }
}

} // namespace WexoCreator
