// The in-app page: the time from the About choice to the page's first frame
// (loaded, then rendered) and to its reader face's first paint on screen
// (the About page is an article), cold (the first page of the process)
// and warm, and the resident memory of the host process and of its Qt
// WebEngine helper processes, reported apart (the helpers also as their
// proportional set: shared pages counted once), with the reader face up and
// after the page closed. After the first open and close, three more rounds may
// add at most 10 % to either: no growth per page.
#include "BenchHost.h"
#include "BenchReport.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "SampleBackend.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

#ifdef WEXO_WEB_VIEW
#include "WexoCreator/platform/WInAppBrowser.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"

#include <QQuickWidget>
#include <QQuickWindow>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include <unistd.h>

using namespace WexoCreator;

#ifdef WEXO_WEB_VIEW

namespace {

struct Bench {
    std::unique_ptr<WexoSample::SampleBackend> backend;
    std::unique_ptr<QMainWindow> host;
};

Bench &bench()
{
    static Bench instance;
    return instance;
}

// Kilobytes of a process from one line of a /proc file of its: its resident
// set, or its proportional set (each shared page counted once over the
// processes that share it).
qint64 statusKb(const QString &pid, const char *file, const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/%1/%2").arg(pid, QString::fromLatin1(file)));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').constFirst().toLongLong();
    }
    return 0;
}

qint64 residentKb(const QString &pid)
{
    return statusKb(pid, "status", "VmRSS:");
}

struct HelpersMemory {
    qint64 resident = 0;
    qint64 proportional = 0;
};

// The helper processes Qt WebEngine started for this one (its children and theirs).
HelpersMemory helpersKb()
{
    QMap<QString, QString> parentOf;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString &pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        parentOf.insert(pid, QString::fromLatin1(text.mid(close + 2).split(' ').value(1)));
    }
    const QString self = QString::number(::getpid());
    HelpersMemory total;
    for (const QString &pid : pids) {
        for (QString up = parentOf.value(pid); !up.isEmpty() && up != QLatin1String("0") && up != QLatin1String("1");
             up = parentOf.value(up)) {
            if (up == self) {
                total.resident += residentKb(pid);
                total.proportional += statusKb(pid, "smaps_rollup", "Pss:");
                break;
            }
        }
    }
    return total;
}

qint64 hostKb()
{
    return residentKb(QString::number(::getpid()));
}

bool startLibrary()
{
    Bench &b = bench();
    WexoSample::SampleBackend::Options options;
    options.dataDir = QStringLiteral(WEXO_SAMPLE_DATA_DIR);
    b.backend = std::make_unique<WexoSample::SampleBackend>(options);
    if (!b.backend->start())
        return false;
    b.host = std::make_unique<QMainWindow>();
    if (!startLibraryOver(*b.backend, *b.host, new QWidget, QSize(420, 800)))
        return false;
    return WexolinManager::shared().theme() != nullptr;
}

// Notes the time of the next paint of the widgets it watches; ends the loop
// after it when it is the last one waited for.
class PaintTimer : public QObject
{
public:
    PaintTimer(std::optional<double> *into, const QElapsedTimer *timer, QEventLoop *loop, bool last)
        : m_into(into)
        , m_timer(timer)
        , m_loop(loop)
        , m_last(last)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !*m_into) {
            *m_into = m_timer->nsecsElapsed() / 1e9;
            watched->removeEventFilter(this);
            if (m_last)
                m_loop->quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::optional<double> *m_into;
    const QElapsedTimer *m_timer;
    QEventLoop *m_loop;
    bool m_last;
};

WexoButtonController *launcher()
{
    return WexolinManager::shared().wexoButtonController();
}

// The seconds from the About choice to the page view's first frame after its
// load (rendered, shown or not: a new document shows on paper until looked
// at), and to the reader face's first paint on screen once it is up.
struct AboutPaints {
    std::optional<double> page;
    std::optional<double> reader;
};

// Chooses About and waits for the page's first frame and its reader face's first paint.
AboutPaints openAbout()
{
    QElapsedTimer timer;
    timer.start();
    WexoOption about;
    about.type = WexoOptionType::about;
    launcher()->onOptionSelected(about);
    auto *browser = qobject_cast<WInAppBrowser *>(launcher()->presentedViewController());
    if (!browser)
        return {};
    AboutPaints paints;
    QEventLoop loop;
    PaintTimer readerWatch(&paints.reader, &timer, &loop, true);
    QObject::connect(browser->page(), &QWebEnginePage::loadingChanged, &loop, [&](const QWebEngineLoadingInfo &info) {
        auto *surface = qobject_cast<QQuickWidget *>(browser->webView()->focusProxy());
        if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus || !surface || paints.page)
            return;
        // The surface renders each frame the engine hands it, covered or not.
        QObject::connect(surface->quickWindow(), &QQuickWindow::afterRendering, &loop, [&] {
            if (!paints.page)
                paints.page = timer.nsecsElapsed() / 1e9;
        }, Qt::QueuedConnection);
    });
    QObject::connect(browser, &WInAppBrowser::readerChecked, &loop, [&](bool readable) {
        QWidget *surface = browser->readerFace() ? browser->readerFace()->focusProxy() : nullptr;
        if (readable && surface && !paints.reader)
            surface->installEventFilter(&readerWatch);
        else if (!readable)
            loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return paints;
}

void closePage()
{
    if (auto *browser = qobject_cast<WInAppBrowser *>(launcher()->presentedViewController()))
        browser->close();
    // Until it has slid out: the next About opens only once it has gone.
    if (!QTest::qWaitFor([] { return !launcher()->presentedViewController(); }, 5000))
        std::fprintf(stderr, "the page did not close\n");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Let the engine finish with the page it was told to drop.
    QTest::qWait(200);
}

// One warm run a repetition: the page's first paint, or its reader face's.
void aboutPaints(benchmark::State &state, std::optional<double> AboutPaints::*paint)
{
    for (auto _ : state) {
        const std::optional<double> seconds = openAbout().*paint;
        if (!seconds) {
            state.SkipWithError("the page or its reader face did not paint");
            closePage();
            return;
        }
        state.SetIterationTime(*seconds);
        closePage();
    }
}

void BM_AboutToFirstFrame(benchmark::State &state)
{
    aboutPaints(state, &AboutPaints::page);
}
BENCHMARK(BM_AboutToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AboutToReaderFacePaint(benchmark::State &state)
{
    aboutPaints(state, &AboutPaints::reader);
}
BENCHMARK(BM_AboutToReaderFacePaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    // The bench's own process (root in CI): the sandbox goes off here only.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!startLibrary()) {
        std::fprintf(stderr, "the bench host did not start against the sample backend\n");
        return 1;
    }
    const qint64 hostBefore = hostKb();
    // The cold start, measured on its own before the repeated runs; the
    // memory with the reader face up.
    const AboutPaints cold = openAbout();
    const qint64 hostOpen = hostKb();
    const HelpersMemory helpersOpen = helpersKb();
    closePage();
    const qint64 hostClosed = hostKb();
    const HelpersMemory helpersClosed = helpersKb();
    if (!cold.page || !cold.reader) {
        std::fprintf(stderr, "the About page or its reader face did not paint\n");
        return 1;
    }

    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);

    // Three more rounds after the first: nothing may grow per page.
    const qint64 hostFirst = hostKb();
    const qint64 helpersFirst = helpersKb().resident;
    for (int round = 0; round < 3; ++round) {
        if (!openAbout().reader)
            return 1;
        closePage();
    }
    const qint64 hostAfter = hostKb();
    const qint64 helpersAfter = helpersKb().resident;
    const double hostRatio = hostFirst > 0 ? double(hostAfter) / double(hostFirst) : 0;
    const double helpersRatio = helpersFirst > 0 ? double(helpersAfter) / double(helpersFirst) : 1;

    const std::optional<double> warm = report.time("BM_AboutToFirstFrame/iterations:5/manual_time");
    const std::optional<double> warmReader = report.time("BM_AboutToReaderFacePaint/iterations:5/manual_time");
    std::printf("about to first frame: cold %.0f ms, warm %.1f ms\n", *cold.page * 1000, warm.value_or(0));
    std::printf("about to reader face paint: cold %.0f ms, warm %.1f ms\n", *cold.reader * 1000, warmReader.value_or(0));
    std::printf("host rss: before %lld MB, reader face up %lld MB, after close %lld MB\n", hostBefore / 1024,
                hostOpen / 1024, hostClosed / 1024);
    std::printf("QtWebEngineProcess rss: reader face up %lld MB, after close %lld MB\n", helpersOpen.resident / 1024,
                helpersClosed.resident / 1024);
    // The sum of resident sets counts the pages the processes share once per process.
    std::printf("QtWebEngineProcess pss: reader face up %lld MB, after close %lld MB\n", helpersOpen.proportional / 1024,
                helpersClosed.proportional / 1024);
    std::printf("host rss rounds ratio %.3f (after 3 more rounds %lld MB / after the first %lld MB; goal at most 1.10)\n",
                hostRatio, hostAfter / 1024, hostFirst / 1024);
    std::printf("helpers rss rounds ratio %.3f (%lld MB / %lld MB; goal at most 1.10)\n", helpersRatio,
                helpersAfter / 1024, helpersFirst / 1024);
    benchmark::Shutdown();
    // The window and the backend go while the application still exists.
    bench().host.reset();
    bench().backend.reset();
    return hostRatio <= 1.10 && helpersRatio <= 1.10 ? 0 : 1;
}

#else

int main()
{
    std::printf("built without the in-app page (WEXO_WEB_VIEW off): nothing to measure\n");
    return 0;
}

#endif

