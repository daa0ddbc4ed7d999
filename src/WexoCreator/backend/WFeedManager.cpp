#include "WexoCreator/backend/WFeedManager.h"

#include "WexoCreator/backend/WAnalytics.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFontDownload.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WNotificationCenter.h"


namespace WexoCreator {

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
    WFontDownload::downloadFonts(theme);
}

} // namespace WexoCreator
