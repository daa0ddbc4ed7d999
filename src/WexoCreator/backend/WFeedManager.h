#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace WexoCreator {

class AllWexo;
class Theme;
class Wexo;
class WexoRoot;
class WexoStep;

// The in-memory walkthrough feed: the walkthroughs of the client application
// with their steps, downloaded on every reload. When every step download of the
// latest reload has answered, WexoDownloadCompleteNotification is posted on the
// default notification centre. Also downloads the theme's fonts and forwards
// playback analytics. Everything runs on the main thread.
class WFeedManager
{
public:
    static inline const QString WexoDownloadCompleteNotification = QStringLiteral("Wexo.DownloadComplete.Notification");

    using Completion = std::function<void(bool)>;
    using WexoCompletion = std::function<void(bool, std::shared_ptr<WexoRoot>)>;

    static WFeedManager &shared();

    // One root per downloaded walkthrough, in the order the answers arrived.
    const QList<std::shared_ptr<WexoRoot>> &wexoFeed() const { return m_wexoFeed; }
    // "parentId": the walkthrough whose steps failed last.
    const QMap<QString, QString> &failedWexos() const { return m_failedWexos; }
    // Step downloads of the latest reload that have not answered yet.
    qint64 downloadCount() const { return m_downloadCount; }

    // Empties the feed and downloads it again. Answers that belong to an
    // earlier reload are dropped. The completion gets fetchAllWexos's flag.
    static void reloadFeed(Completion completion = {});
    // Lists the walkthroughs and starts the step download of each one that
    // belongs to the client application; true when at least one does.
    static void fetchAllWexos(Completion completion = {});
    static void fetchWexo(const QString &wexoId, Completion completion = {});
    // One walkthrough for the host, outside the feed and its count.
    static void downloadWexo(const QString &wexoId, WexoCompletion completion);

    // Makes every font of the theme available to WFontManager (see WFontDownload).
    static void downloadFont(const std::shared_ptr<Theme> &theme);

    // Playback analytics of the page being played (see WAnalytics).
    static void getAnalyticsId(const std::shared_ptr<Wexo> &playing, Completion completion = {});
    static void sendEventWexoStepPlay(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step);
    static void sendEventCompleteWexoStepPlay(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step);

    // What a reload does beyond the feed, supplied by the layers above: the
    // first runs before the listing is requested (the recorder's trees are
    // emptied), the second after it (the theme and template are requested).
    static void setReloadHooks(std::function<void()> beforeListing, std::function<void()> afterListing);

private:
    WFeedManager() = default;

    void listingArrived(quint64 generation, const std::shared_ptr<AllWexo> &listing, const Completion &completion);
    void stepsArrived(quint64 generation, const QString &wexoId, const std::shared_ptr<WexoRoot> &root);

    QList<std::shared_ptr<WexoRoot>> m_wexoFeed;
    QMap<QString, QString> m_failedWexos;
    qint64 m_downloadCount = 0;
    // Raised by every reload; answers carry the generation that asked for them.
    quint64 m_generation = 0;
    std::function<void()> m_beforeListing;
    std::function<void()> m_afterListing;
};

} // namespace WexoCreator
