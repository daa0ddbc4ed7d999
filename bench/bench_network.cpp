// What a large or endless answer costs the host: the memory an endless answer
// takes while the main loop is stalled for 2 s, and the longest main-loop gap
// while a 32 MiB font answer is downloaded, stored and registered. Both against
// the sample backend on loopback, in one process with the library.
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/backend/WService.h"

#include "BenchBackend.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace WexoCreator;

namespace {

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Runs the main loop until `done` holds, at most a minute.
void runUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
}

double g_peakRss = 0;
double g_rssGrowth = 0;
double g_longestGapMs = 0;

void BM_EndlessAnswerWhileStalled(benchmark::State &state)
{
    const QString path = QStringLiteral("/mobileApi/endless");
    backend().script(QStringLiteral("GET"), path,
                     {.body = QByteArray(256 * 1024, 'x'), .contentType = "application/octet-stream", .endless = true});
    for (auto _ : state) {
        const double before = peakRssMB();
        bool answered = false;
        const QUrl url(backend().rootUrl() + path.mid(1));
        WService::dataTask(WService::requestForService(url, WService::WHTTPMethod::get),
                           [&answered](std::optional<QByteArray>, std::optional<WError>) { answered = true; });
        QNetworkReply *reply = WService::networkManager().findChildren<QNetworkReply *>().constLast();
        // Once data flows, the host keeps the main loop busy for 2 s.
        bool stalled = false;
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [&stalled] {
            if (!std::exchange(stalled, true))
                QThread::msleep(2000);
        });
        runUntil([&answered] { return answered; });
        if (!answered) {
            state.SkipWithError("the endless answer was not cut off");
            return;
        }
        g_peakRss = peakRssMB();
        g_rssGrowth = g_peakRss - before;
    }
    state.counters["peak_rss_MB"] = g_peakRss;
    state.counters["growth_MB"] = g_rssGrowth;
}
BENCHMARK(BM_EndlessAnswerWhileStalled)->Iterations(1)->Unit(benchmark::kMillisecond);

// A real font padded to the download cap: the bytes after its tables are never read.
QByteArray fontAnswer()
{
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!data.isEmpty())
        data.append(QByteArray(WService::kMaxDownloadBytes - data.size(), '\0'));
    return data;
}

void BM_FontAnswer32MiB(benchmark::State &state)
{
    const QByteArray answer = fontAnswer();
    if (answer.isEmpty()) {
        state.SkipWithError("no system font to pad");
        return;
    }
    backend().script(QStringLiteral("GET"), QStringLiteral("/fonts/Large.ttf"), {200, answer, "font/ttf"});
    int run = 0;
    for (auto _ : state) {
        // A new address each time, so the font is downloaded, not read from the cache.
        auto font = std::make_shared<WFonts>();
        font->setFontName(QStringLiteral("Large %1").arg(++run));
        font->setFontUrl(backend().rootUrl() + QStringLiteral("fonts/Large.ttf?run=%1").arg(run));
        auto elements = std::make_shared<ElementConfiguration>();
        elements->setFonts(QList{font});
        auto config = std::make_shared<ThemeConfiguration>();
        config->setConfigurations(elements);
        auto theme = std::make_shared<Theme>();
        theme->setConfig(config);

        // A timer probe: the longest time between two of its 1 ms ticks.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        probe.start(1);
        WFeedManager::downloadFont(theme);
        runUntil([&font] { return font->localURL().has_value(); });
        probe.stop();
        if (!WFontManager::fontWithName(*font->fontName())) {
            state.SkipWithError("the font was not registered");
            return;
        }
        g_longestGapMs = std::max(g_longestGapMs, longest / 1e6);
    }
    state.counters["longest_gap_ms"] = g_longestGapMs;
}
BENCHMARK(BM_FontAnswer32MiB)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QDir(WFileManager::documentsDirectory()).removeRecursively();
    if (!backend().start()) {
        std::fprintf(stderr, "sample backend did not start: %s\n", qPrintable(backend().errorString()));
        return 1;
    }
    qputenv("WEXO_PRODUCTION_URL", backend().rootUrl().toUtf8());
    qunsetenv("WEXO_STAGING");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    backend().stop();
    QDir(WFileManager::documentsDirectory()).removeRecursively();
    if (g_peakRss > 0)
        std::printf("endless answer, main loop stalled 2 s: peak RSS %.1f MB, %.1f MB over the start (target under 64 MB)\n",
                    g_peakRss, g_rssGrowth);
    if (g_longestGapMs > 0)
        std::printf("32 MiB font answer: longest main-loop gap %.1f ms (target at most 16 ms)\n", g_longestGapMs);
    return 0;
}
