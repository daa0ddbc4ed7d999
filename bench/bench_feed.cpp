// Time from reloadFeed to the download-complete notification against the
// sample backend with 20 ms added to every request. The bound is what HTTP/1.1
// with six connections per host allows: the listing, then ceil(N/6) rounds of
// step downloads.
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "BenchBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

using namespace WexoCreator;

namespace {

// With a charset the sample server sends the body as it is, not compressed:
// the figure is about the download schedule, not the server's compressor.
const QByteArray kJson = "application/json; charset=utf-8";

constexpr int kLatencyMs = 20;

QByteArray listingOf(int count, const QString &appId)
{
    QJsonArray list;
    for (int i = 0; i < count; ++i) {
        list.append(QJsonObject{{QStringLiteral("Id"), QStringLiteral("w-bench-%1").arg(i)},
                                {QStringLiteral("Name"), QStringLiteral("Walkthrough %1").arg(i)},
                                {QStringLiteral("WalkthroughForSite"), appId}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("walkthrough"), list}, {QStringLiteral("success"), true}}).toJson();
}

QByteArray sampleSteps()
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/walkthroughs/01-shop-tour.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Seconds from the reload to the notification, or a negative value on time-out.
double timeOneReload()
{
    QEventLoop loop;
    QObject context;
    bool complete = false;
    WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context, [&](const QVariantMap &) {
        complete = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    WFeedManager::reloadFeed();
    if (!complete)
        loop.exec();
    return complete ? timer.nsecsElapsed() / 1e9 : -1.0;
}

void BM_ReloadFeed(benchmark::State &state)
{
    const int count = int(state.range(0));
    backend().clearScripts();
    backend().script(QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthrough/findbysite"), {200, listingOf(count, backend().clientAppId()), kJson});
    backend().script(QStringLiteral("GET"), QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage"), {200, sampleSteps(), kJson});
    backend().setLatencyMs(kLatencyMs);

    const double bound = (std::ceil(count / 6.0) + 1) * kLatencyMs / 1000.0;
    double worst = 0;
    for (auto _ : state) {
        const double seconds = timeOneReload();
        if (seconds < 0) {
            state.SkipWithError("no download-complete notification");
            return;
        }
        if (int(WFeedManager::shared().wexoFeed().size()) != count) {
            state.SkipWithError("feed incomplete");
            return;
        }
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["bound_s"] = bound;
    state.counters["ratio"] = worst / bound;
    std::printf("feed N=%d: worst %.3f s, bound %.3f s, ratio %.3f (target <= 1.25)\n", count, worst, bound, worst / bound);
    std::fflush(stdout);
}

BENCHMARK(BM_ReloadFeed)->Arg(10)->Arg(100)->Arg(400)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (!backend().start()) {
        std::fprintf(stderr, "sample backend did not start\n");
        return 1;
    }
    qputenv("WEXO_PRODUCTION_URL", backend().rootUrl().toUtf8());
    qunsetenv("WEXO_STAGING");
    WCredentials::setClientToken(backend().clientToken());
    WCredentials::setClientAppId(backend().clientAppId());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    backend().stop();
    return 0;
}
