#include "WexoCreator/backend/WAnalytics.h"

#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WService.h"
#include "WexoCreator/backend/WURLConstants.h"
#include "WexoCreator/extensions/WTime.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/platform/WLogging.h"

#include <QHash>

namespace WexoCreator {

namespace {

struct Credentials {
    QString token = WCredentials::clientToken().value_or(QString());
    QString appId = WCredentials::clientAppId().value_or(QString());
};

// The latest start-of-playback request of each page: an older answer that
// arrives late must not replace the identifier of a newer playback.
QHash<const Wexo *, quint64> &latestRequests()
{
    static QHash<const Wexo *, quint64> requests;
    return requests;
}

void post(const QString &url, const QVariantMap &body, WService::DataCompletion completion)
{
    WService::dataTask(WService::requestForService(QUrl(url), WService::WHTTPMethod::post, body), std::move(completion));
}

struct StepTimes {
    qint64 start;
    qint64 end;
    qint64 seen;
};

StepTimes timesOf(const WexoStep &step)
{
    const qint64 now = currentMillisecondsSince1970();
    // A step that was never put on screen has no start and was seen for no time at all.
    if (step.startTime <= 0)
        return {0, now, 0};
    return {step.startTime, now, std::max<qint64>(0, now - step.startTime)};
}

bool canReport(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step)
{
    return playing && step && playing->WalkthroughId && playing->analyticsId && !playing->analyticsId->isEmpty();
}

} // namespace

void WAnalytics::getWexoAnalyticsId(const std::shared_ptr<Wexo> &playing, std::function<void(bool)> completion)
{
    if (!playing || !playing->WalkthroughId)
        return;
    if (!completion)
        completion = [](bool) {};

    // A new playback opens a new record: the old identifier no longer applies.
    playing->analyticsId.reset();
    static quint64 lastRequest = 0;
    const quint64 request = ++lastRequest;
    latestRequests().insert(playing.get(), request);

    const Credentials credentials;
    const qint64 now = currentMillisecondsSince1970();
    const QVariantMap body{
        {QStringLiteral("WalkthroughId"), *playing->WalkthroughId},
        {QStringLiteral("SourceURL"), credentials.appId},
        {QStringLiteral("StartTime"), now},
        {QStringLiteral("EndTime"), now},
        {QStringLiteral("StartsWithPulse"), false},
        {QStringLiteral("IsWalkthroughAbandoned"), false},
        {QStringLiteral("IsWalkthroughComplete"), false},
        {QStringLiteral("appKey"), credentials.token},
        {QStringLiteral("site"), credentials.appId},
    };
    post(WURLConstants::WAnalytics::kAddNewWexo(), body,
         [playing, request, completion](std::optional<QByteArray> data, std::optional<WError> error) {
             auto &latest = latestRequests();
             if (latest.value(playing.get()) != request) {
                 completion(false);
                 return;
             }
             latest.remove(playing.get());
             if (error || !data) {
                 completion(false);
                 return;
             }
             const auto answer = WJsonDecoder::decode<WexoAnalytics>(*data);
             if (!answer || !answer.record->analyticsId || answer.record->analyticsId->isEmpty()) {
                 completion(false);
                 return;
             }
             playing->analyticsId = answer.record->analyticsId;
             completion(true);
         });
}

void WAnalytics::addWexoStep(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step)
{
    if (!canReport(playing, step))
        return;
    const Credentials credentials;
    const StepTimes times = timesOf(*step);
    const QVariantMap body{
        {QStringLiteral("StepId"), step->wexoStepIdentifier()},
        {QStringLiteral("appKey"), credentials.token},
        {QStringLiteral("site"), credentials.appId},
        {QStringLiteral("StartTime"), times.start},
        {QStringLiteral("EndTime"), times.end},
        {QStringLiteral("WalkthroughElementId"), step->wexoElementIdentifier()},
        {QStringLiteral("WalkthroughId"), *playing->WalkthroughId},
        {QStringLiteral("SeenTime"), times.seen},
        {QStringLiteral("WalkthroughAnalyticId"), *playing->analyticsId},
    };
    post(WURLConstants::WAnalytics::kAddNewStep(), body, [](std::optional<QByteArray>, std::optional<WError>) {});
}

void WAnalytics::completeWexo(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step)
{
    if (!canReport(playing, step))
        return;
    const Credentials credentials;
    const StepTimes times = timesOf(*step);
    const QVariantMap body{
        {QStringLiteral("SourceURL"), credentials.appId},
        {QStringLiteral("StartsWithPulse"), false},
        {QStringLiteral("IsWalkthroughAbandoned"), false},
        {QStringLiteral("IsWalkthroughComplete"), true},
        {QStringLiteral("appKey"), credentials.token},
        {QStringLiteral("site"), credentials.appId},
        {QStringLiteral("StartTime"), times.start},
        {QStringLiteral("EndTime"), times.end},
        {QStringLiteral("WalkthroughId"), *playing->WalkthroughId},
        {QStringLiteral("SeenTime"), times.seen},
        {QStringLiteral("AnalyticId"), *playing->analyticsId},
    };
    post(WURLConstants::WAnalytics::kComplete(), body, [](std::optional<QByteArray>, std::optional<WError>) {});
}

} // namespace WexoCreator
