#include "WexoCreator/backend/WFeedManager.h"

#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WAnalytics.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WNotificationCenter.h"

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

void WFeedManager::setReloadHooks(std::function<void()> beforeListing, std::function<void()> afterListing)
{
    shared().m_beforeListing = std::move(beforeListing);
    shared().m_afterListing = std::move(afterListing);
}

void WFeedManager::reloadFeed(Completion completion)
{
    WFeedManager &self = shared();
    self.m_wexoFeed.clear();
    self.m_failedWexos.clear();
    // Answers still on their way belong to the previous generation and are
    // dropped, so its count starts again from nothing.
    ++self.m_generation;
    self.m_downloadCount = 0;
    if (self.m_beforeListing)
        self.m_beforeListing();
    fetchAllWexos(std::move(completion));
    if (self.m_afterListing)
        self.m_afterListing();
}

void WFeedManager::fetchAllWexos(Completion completion)
{
    if (!completion)
        completion = [](bool) {};
    const quint64 generation = shared().m_generation;
    WWebApiInterface::getAllWexos([generation, completion](std::shared_ptr<AllWexo> listing) {
        shared().listingArrived(generation, listing, completion);
    });
}

void WFeedManager::listingArrived(quint64 generation, const std::shared_ptr<AllWexo> &listing, const Completion &completion)
{
    if (generation != m_generation) {
        qCDebug(lcBackend) << "walkthrough list of an earlier reload dropped";
        completion(false);
        return;
    }
    const auto appId = WCredentials::clientAppId();
    if (!appId || !listing || !listing->walkthrough) {
        completion(false);
        return;
    }
    bool matched = false;
    QStringList wexoIds;
    for (const auto &entry : std::as_const(*listing->walkthrough)) {
        if (!entry || entry->appId != *appId)
            continue;
        matched = true;
        if (entry->Id)
            wexoIds << *entry->Id;
    }
    if (!matched) {
        completion(false);
        return;
    }
    // Counted before any download starts: one that fails at once must not
    // bring the count to zero while others are still to be started.
    m_downloadCount += wexoIds.size();
    for (const QString &wexoId : std::as_const(wexoIds)) {
        if (generation != m_generation)
            break;
        fetchWexo(wexoId);
    }
    completion(true);
}

void WFeedManager::fetchWexo(const QString &wexoId, Completion completion)
{
    if (!completion)
        completion = [](bool) {};
    const quint64 generation = shared().m_generation;
    WWebApiInterface::getWexoSteps(wexoId, [generation, completion](std::shared_ptr<WexoRoot> root, QString askedId) {
        shared().stepsArrived(generation, askedId, root);
        completion(root != nullptr);
    });
}

void WFeedManager::stepsArrived(quint64 generation, const QString &wexoId, const std::shared_ptr<WexoRoot> &root)
{
    if (generation != m_generation) {
        qCDebug(lcBackend) << "steps of an earlier reload dropped:" << wexoId;
        return;
    }
    m_downloadCount = std::max<qint64>(0, m_downloadCount - 1);
    if (root)
        m_wexoFeed.append(root);
    else
        m_failedWexos.insert(QStringLiteral("parentId"), wexoId);
    if (m_downloadCount == 0)
        WNotificationCenter::defaultCenter().post(WexoDownloadCompleteNotification);
}

void WFeedManager::downloadWexo(const QString &wexoId, WexoCompletion completion)
{
    if (!completion)
        return;
    WWebApiInterface::getWexoSteps(wexoId, [completion](std::shared_ptr<WexoRoot> root, QString) {
        completion(root != nullptr, root);
    });
}

void WFeedManager::getAnalyticsId(const std::shared_ptr<Wexo> &playing, Completion completion)
{
    WAnalytics::getWexoAnalyticsId(playing, std::move(completion));
}

void WFeedManager::sendEventWexoStepPlay(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step)
{
    WAnalytics::addWexoStep(playing, step);
}

void WFeedManager::sendEventCompleteWexoStepPlay(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step)
{
    WAnalytics::completeWexo(playing, step);
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
    WWebApiInterface::downloadFile(url, [url](bool, std::optional<QString> temporaryFile) {
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
