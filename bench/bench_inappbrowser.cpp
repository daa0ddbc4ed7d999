// The in-app page as a user sees it: the time from choosing a page to its
// face on screen (the end of the blank paper: the page, or the About page's
// reader face), read from the screen (the backing store offscreen), for a
// plain page, a white one, an animated one, one that keeps a part loading and
// the About article, cold (the first page of the process) and warm; beside it
// the time to the engine's first frame of the document in the page view,
// covered or not, and their ratio (what the paper adds). Then what deciding
// that a document is on screen costs the GUI thread per document (it reads
// no picture, so the view's size plays no part), and the resident memory of
// the host process and of its Qt WebEngine helper processes, reported apart
// (the helpers also as their proportional set: shared pages counted once),
// with the reader face up and after the page closed. After the first open and
// close, three more rounds may add at most 10 % to either: no growth per page.
// And what a navigation inside the open page costs the GUI thread (until its
// face shows, and 300 ms more), between short pages that fit the view,
// between long ones that do not, and between articles short and long (their
// reader faces).
// Run it with QT_SCALE_FACTOR=2 for a screen at twice the density.
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
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include <QImage>
#include <QQuickItem>
#include <QPointer>
#include <QQuickWidget>
#include <QScreen>
#include <QWebEngineProfile>
#include <QQuickWindow>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include <unistd.h>

using namespace WexoCreator;

#ifdef WEXO_WEB_VIEW

namespace {

// Everything the bench makes. It lives in main, after the application, so it
// goes first on every way out; its members go from the last: the view before
// its page and profile, the window before the backend.
struct Bench {
    std::unique_ptr<WexoSample::SampleBackend> backend;
    std::unique_ptr<QMainWindow> host;
    // A page view of its own for the decision's cost.
    std::unique_ptr<QWebEngineProfile> profile;
    std::unique_ptr<WInAppBrowserPage> page;
    std::unique_ptr<QWebEngineView> view;
};

Bench *current = nullptr;

Bench &bench()
{
    return *current;
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
    return startLibraryOver(*b.backend, *b.host, new QWidget, QSize(420, 800));
}

WexoButtonController *launcher()
{
    return WexolinManager::shared().wexoButtonController();
}

enum class Look { blank, document, readerFace };

// What the faces show on screen: blank (paper, white or black: the host's
// new native window), a document (more than a speck of anything else), or
// a reader face (text on the reader's paper).
Look lookOf(QWidget *faces)
{
    QWidget *window = faces->window();
    const QPoint at = faces->mapTo(window, QPoint(0, 0));
    QImage shown;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QPoint global = faces->mapToGlobal(QPoint(0, 0));
        shown = window->screen()->grabWindow(0, global.x(), global.y(), faces->width(), faces->height()).toImage();
    } else {
        shown = window->screen()->grabWindow(window->winId(), at.x(), at.y(), faces->width(), faces->height()).toImage();
    }
    shown = shown.convertToFormat(QImage::Format_RGB32);
    const QRgb paper = WReaderFace::paperColor().rgb();
    int marked = 0;
    int onPaper = 0;
    int all = 0;
    for (int y = 0; y < shown.height(); y += 2) {
        const auto *line = reinterpret_cast<const QRgb *>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); x += 2, ++all) {
            const int low = qMin(qRed(line[x]), qMin(qGreen(line[x]), qBlue(line[x])));
            const int high = qMax(qRed(line[x]), qMax(qGreen(line[x]), qBlue(line[x])));
            if (low < 235 && high > 30)
                ++marked;
            if ((line[x] & 0xffffff) == (paper & 0xffffff))
                ++onPaper;
        }
    }
    if (all == 0 || marked * 1000 <= all)
        return Look::blank;
    return onPaper * 2 > all ? Look::readerFace : Look::document;
}

// The seconds from choosing a page to its face on screen (an article's
// reader face too), and to the engine's first frame of it in the page view.
struct FirstFace {
    std::optional<double> onScreen;
    std::optional<double> readerFace;
    std::optional<double> firstFrame;
};

FirstFace openPage(const QUrl &url, bool untilReaderFace = false)
{
    QElapsedTimer timer;
    timer.start();
    launcher()->presentWebView(url);
    QPointer<WInAppBrowser> browser = qobject_cast<WInAppBrowser *>(launcher()->presentedViewController());
    if (!browser)
        return {};
    FirstFace face;
    QEventLoop loop;
    bool arrived = false;
    QPointer<QQuickWidget> followed;
    QObject::connect(browser->page(), &QWebEnginePage::urlChanged, &loop, [&] { arrived = true; });
    QTimer look;
    look.setTimerType(Qt::PreciseTimer);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (!browser)
            return;
        // The surface renders each frame the engine hands it, covered or not
        // (a new one comes with the document's renderer).
        auto *surface = qobject_cast<QQuickWidget *>(browser->webView()->focusProxy());
        if (arrived && surface && surface != followed) {
            followed = surface;
            QObject::connect(surface->quickWindow(), &QQuickWindow::afterRendering, &loop, [&] {
                if (!face.firstFrame)
                    face.firstFrame = timer.nsecsElapsed() / 1e9;
            }, Qt::QueuedConnection);
        }
        const Look look = lookOf(browser->webView()->parentWidget());
        if (!face.onScreen && look != Look::blank)
            face.onScreen = timer.nsecsElapsed() / 1e9;
        if (!face.readerFace && look == Look::readerFace)
            face.readerFace = timer.nsecsElapsed() / 1e9;
        if (face.onScreen && face.firstFrame && (face.readerFace || !untilReaderFace))
            loop.quit();
    });
    look.start(2);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return face;
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

// The pages timed, served by the bench's backend.
struct Kind {
    const char *name;
    QString path;
    QByteArray body; // empty: the sample's own page
    int paragraphs = 0; // added to the sample's article
};

const QList<Kind> &kinds()
{
    static const QByteArray text = QByteArray("<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>").repeated(4);
    static const QList<Kind> all {
        {"plain page", QStringLiteral("/pages/bench-plain.html"),
         "<!DOCTYPE html><title>Plain</title><style>html { background: #2040d0; color: #fff }</style>" + text},
        {"white page", QStringLiteral("/pages/bench-white.html"), "<!DOCTYPE html><title>White</title>" + text},
        {"animated page", QStringLiteral("/pages/bench-animated.html"),
         "<!DOCTYPE html><title>Animated</title><style>@keyframes turn { to { transform: rotate(360deg) } }"
         " div { width: 40px; height: 40px; border: 6px solid #2040d0; border-top-color: #fff; border-radius: 50%;"
         " animation: turn 1s linear infinite }</style><div></div>"
             + text},
        {"page with a part still loading", QStringLiteral("/pages/bench-loading.html"),
         "<!DOCTYPE html><title>Loading</title>" + text + "<img src=\"/pages/bench-slow.png\" alt=\"\">"},
        {"about (reader face)", QStringLiteral("/pages/about.html"), QByteArray()},
    };
    return all;
}

// The engine's first frame of each warm run, summed per kind.
QMap<QString, QList<double>> &firstFrames()
{
    static QMap<QString, QList<double>> frames;
    return frames;
}

QUrl addressOf(const QString &path)
{
    return QUrl(bench().backend->rootUrl() + path.mid(1));
}

QUrl addressOf(const Kind &kind)
{
    return addressOf(kind.path);
}

// One warm run a repetition: the time to the face on screen.
void BM_ChoiceToFaceOnScreen(benchmark::State &state, const Kind &kind)
{
    for (auto _ : state) {
        const FirstFace face = openPage(addressOf(kind));
        if (!face.onScreen || !face.firstFrame) {
            state.SkipWithError("the page's face never showed");
            closePage();
            return;
        }
        state.SetIterationTime(*face.onScreen);
        firstFrames()[QString::fromLatin1(kind.name)] << *face.firstFrame;
        closePage();
    }
}

// One warm run a repetition: the time to the About article's reader face on screen.
void BM_ChoiceToReaderFaceOnScreen(benchmark::State &state)
{
    for (auto _ : state) {
        const FirstFace face = openPage(addressOf(kinds().constLast()), true);
        if (!face.readerFace) {
            state.SkipWithError("the reader face never showed");
            closePage();
            return;
        }
        state.SetIterationTime(*face.readerFace);
        closePage();
    }
}

// What deciding that a document is on screen costs the GUI thread: a new
// document, the engine's report of its first paint and the frames after it,
// in a page view that holds a page (the signs as the engine gives them).
void BM_PaintWatchDecision(benchmark::State &state)
{
    Bench &b = bench();
    if (!b.view) {
        b.profile = std::make_unique<QWebEngineProfile>();
        b.page = std::make_unique<WInAppBrowserPage>(b.profile.get());
        b.view = std::make_unique<QWebEngineView>();
        b.view->setPage(b.page.get());
        b.view->resize(1600, 962);
        b.view->show();
        QEventLoop loop;
        QObject::connect(b.page.get(), &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        b.page->load(addressOf(kinds().constFirst()));
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    auto *surface = qobject_cast<QQuickWidget *>(b.view->focusProxy());
    if (!surface) {
        state.SkipWithError("the page view has no surface");
        return;
    }
    const QList<QQuickItem *> items = surface->quickWindow()->contentItem()->childItems();
    QQuickItem *item = items.isEmpty() ? nullptr : items.constFirst();
    if (!item) {
        state.SkipWithError("the page view's scene has no item");
        return;
    }
    WInAppBrowserPaintWatch watch(b.view.get(), nullptr);
    for (auto _ : state) {
        watch.watch();
        emit b.page->documentCreated(QUrl());
        emit b.page->documentPainted(1);
        emit b.page->contentsSizeChanged(QSizeF(1600, 961));
        // The watch takes its signs once what was queued before them is handled.
        QCoreApplication::sendPostedEvents(&watch, QEvent::MetaCall);
        for (int frame = 0; frame < 3; ++frame) {
            // As the engine hands a frame over: a queued update of the view's item, then a render.
            QMetaObject::invokeMethod(item, "update", Qt::QueuedConnection);
            QCoreApplication::sendPostedEvents(item, QEvent::MetaCall);
            emit surface->quickWindow()->afterRendering();
        }
        if (!watch.shown())
            state.SkipWithError("the document was not taken as shown");
        // What the decision posted is the GUI thread's work too (left queued, it piles up).
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_PaintWatchDecision)->Unit(benchmark::kMicrosecond);

// Two pages of each kind navigated between, at the kind's path with "-a.html"
// and "-b.html" added: short ones that fit the view, long ones that do not,
// and articles, short and long.
const QList<Kind> &navigationKinds()
{
    static const QByteArray line = "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>";
    static const QList<Kind> all {
        {"short pages", QStringLiteral("/pages/bench-short"),
         "<!DOCTYPE html><title>Short</title><style>html { background: #2040d0; color: #fff }</style>" + line},
        // Paragraphs this short do not make an article: the page face shows.
        {"long pages", QStringLiteral("/pages/bench-long"), "<!DOCTYPE html><title>Long</title>" + line.repeated(200)},
        // The sample About page: its reader face shows.
        {"articles", QStringLiteral("/pages/bench-article"), QByteArray()},
        {"long articles", QStringLiteral("/pages/bench-long-article"), QByteArray(), 150},
    };
    return all;
}

// The mean wall time of each kind's navigations, in milliseconds.
QMap<QString, double> &navigationWalls()
{
    static QMap<QString, double> walls;
    return walls;
}

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct NavigationCost {
    double cpu = 0;
    double wall = 0;
};

// One navigation of the open page's view: the GUI thread's CPU time from the
// load until the face shows the new document (its page, or its reader face),
// and 300 ms more (a view made a pixel shorter gets its height back within
// them); the wall time until the face shows.
std::optional<NavigationCost> navigate(WInAppBrowser *browser, const QUrl &url, WInAppBrowser::Face expected)
{
    const double cpuStart = threadCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    bool shown = false;
    QObject::connect(browser, &WInAppBrowser::faceChanged, &loop, [&](WInAppBrowser::Face face) {
        if (face == expected && browser->page()->url() == url) {
            shown = true;
            loop.quit();
        }
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    browser->page()->load(url);
    loop.exec();
    if (!shown)
        return {};
    NavigationCost cost;
    cost.wall = timer.nsecsElapsed() / 1e9;
    QTest::qWait(300);
    cost.cpu = threadCpuSeconds() - cpuStart;
    return cost;
}

// The page opened on the first page of a kind, then its view sent from one
// page to the other: the GUI thread's time per navigation, after two that
// warm the engine up.
void BM_Navigation(benchmark::State &state, const Kind &kind)
{
    const QUrl pages[] = {addressOf(kind.path + QStringLiteral("-a.html")), addressOf(kind.path + QStringLiteral("-b.html"))};
    const WInAppBrowser::Face face = kind.body.isEmpty() ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page;
    auto *browser = openPage(pages[0], face == WInAppBrowser::Face::reader).onScreen
        ? qobject_cast<WInAppBrowser *>(launcher()->presentedViewController())
        : nullptr;
    int next = 1;
    for (int warm = 0; browser && warm < 2; ++warm, next = 1 - next) {
        if (!navigate(browser, pages[next], face))
            browser = nullptr;
    }
    if (!browser) {
        state.SkipWithError("the page face never showed");
        closePage();
        return;
    }
    double wall = 0;
    for (auto _ : state) {
        const std::optional<NavigationCost> cost = navigate(browser, pages[next], face);
        next = 1 - next;
        if (!cost) {
            state.SkipWithError("the page face never showed");
            break;
        }
        state.SetIterationTime(cost->cpu);
        wall += cost->wall * 1000 / double(state.max_iterations);
    }
    navigationWalls()[QString::fromLatin1(kind.name)] = wall;
    closePage();
}

} // namespace

int main(int argc, char **argv)
{
    // The bench's own process (root in CI): the sandbox goes off here only.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Bench made;
    current = &made;
    benchmark::Initialize(&argc, argv);
    if (!startLibrary()) {
        std::fprintf(stderr, "the bench host did not start against the sample backend\n");
        return 1;
    }
    const auto serve = [](const QString &path, const QByteArray &body) {
        WexoSample::ScriptedAnswer answer;
        answer.contentType = "text/html; charset=utf-8";
        answer.body = body;
        bench().backend->script(QStringLiteral("GET"), path, answer);
    };
    for (const Kind &kind : kinds()) {
        if (!kind.body.isEmpty())
            serve(kind.path, kind.body);
    }
    for (const Kind &kind : navigationKinds()) {
        QByteArray body = kind.body;
        if (body.isEmpty()) {
            QFile about(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/pages/about.html"));
            body = about.open(QIODevice::ReadOnly) ? about.readAll() : QByteArray();
            body.replace("</article>", "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n"_qba.repeated(kind.paragraphs)
                                           + "</article>");
        }
        serve(kind.path + QStringLiteral("-a.html"), body);
        serve(kind.path + QStringLiteral("-b.html"), body);
    }
    // A part that takes long to come (the page's load ends only then).
    WexoSample::ScriptedAnswer slow;
    slow.delayMs = 5000;
    slow.contentType = "image/png";
    bench().backend->script(QStringLiteral("GET"), QStringLiteral("/pages/bench-slow.png"), slow);
    const Kind &about = kinds().constLast();
    const qint64 hostBefore = hostKb();
    // The cold start, measured on its own before the repeated runs, with the
    // reader face up; the memory then.
    const FirstFace cold = openPage(addressOf(about));
    QTest::qWait(300);
    const qint64 hostOpen = hostKb();
    const HelpersMemory helpersOpen = helpersKb();
    closePage();
    const qint64 hostClosed = hostKb();
    const HelpersMemory helpersClosed = helpersKb();
    if (!cold.onScreen) {
        std::fprintf(stderr, "the About page's face never showed\n");
        return 1;
    }
    for (const Kind &kind : kinds())
        benchmark::RegisterBenchmark((std::string("BM_ChoiceToFaceOnScreen/") + kind.name).c_str(), BM_ChoiceToFaceOnScreen, kind)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    benchmark::RegisterBenchmark("BM_ChoiceToReaderFaceOnScreen", BM_ChoiceToReaderFaceOnScreen)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    for (const Kind &kind : navigationKinds())
        benchmark::RegisterBenchmark((std::string("BM_Navigation/") + kind.name).c_str(), BM_Navigation, kind)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);

    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);

    // Three more rounds after the first: nothing may grow per page.
    const qint64 hostFirst = hostKb();
    const qint64 helpersFirst = helpersKb().resident;
    for (int round = 0; round < 3; ++round) {
        if (!openPage(addressOf(about)).onScreen)
            return 1;
        QTest::qWait(300);
        closePage();
    }
    const qint64 hostAfter = hostKb();
    const qint64 helpersAfter = helpersKb().resident;
    const double hostRatio = hostFirst > 0 ? double(hostAfter) / double(hostFirst) : 0;
    const double helpersRatio = helpersFirst > 0 ? double(helpersAfter) / double(helpersFirst) : 1;

    std::printf("about (reader face), cold: face on screen %.0f ms, engine's first frame %.0f ms\n", *cold.onScreen * 1000,
                cold.firstFrame.value_or(0) * 1000);
    for (const Kind &kind : kinds()) {
        const std::optional<double> onScreen
            = report.time(std::string("BM_ChoiceToFaceOnScreen/") + kind.name + "/iterations:5/manual_time");
        const QList<double> frames = firstFrames().value(QString::fromLatin1(kind.name));
        double frame = 0;
        for (double seconds : frames)
            frame += seconds * 1000 / frames.size();
        if (onScreen && frame > 0)
            std::printf("%s, warm: face on screen %.1f ms, engine's first frame %.1f ms, face/first-frame ratio %.2f\n", kind.name,
                        *onScreen, frame, *onScreen / frame);
    }
    if (const std::optional<double> reader = report.time("BM_ChoiceToReaderFaceOnScreen/iterations:5/manual_time"))
        std::printf("about, warm: reader face on screen %.1f ms\n", *reader);
    if (const std::optional<double> decision = report.time("BM_PaintWatchDecision"))
        std::printf("deciding a document is on screen: %.1f us of the GUI thread per document\n", *decision);
    for (const Kind &kind : navigationKinds()) {
        if (const std::optional<double> cpu = report.time(std::string("BM_Navigation/") + kind.name + "/iterations:10/manual_time"))
            std::printf("navigation, %s: GUI-thread %.1f ms per navigation (wall %.0f ms to its face)\n", kind.name, *cpu,
                        navigationWalls().value(QString::fromLatin1(kind.name)));
    }
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
    return hostRatio <= 1.10 && helpersRatio <= 1.10 ? 0 : 1;
}

#else

int main()
{
    std::printf("built without the in-app page (WEXO_WEB_VIEW off): nothing to measure\n");
    return 0;
}

#endif

