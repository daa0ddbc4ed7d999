// What a person waits for during playback: painting the dimmed backdrop with its
// hole, and a tap turning into the next step on screen. Offscreen, on a
// 1920 × 1080 main window with one target button.
//
// Paint: the real overlay's paint against a plain widget filling the same area.
// Tap to next: a click on the overlay until the next step's overlay is built and
// painted once (no animations), against one paint of the overlay in the same run
// (at most twice that). The click's own event processing paints the window; a run
// where the next step was not painted by then is an error, not a figure.

#include "BenchReport.h"

#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/playback/WOverlayDelegate.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

using namespace WexoCreator;

namespace {

constexpr QSize screen(1920, 1080);

// A widget that only fills itself: what any full-window paint costs at least.
class PlainFill : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 128)); }
};

// Stands where the launcher is: lays the next step's overlay when asked.
struct Launcher : QObject, WOverlayDelegate {
    QWidget *view = nullptr;
    QPointer<WOverlay> shown;
    int paints = 0; // of the overlay shown last
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    void onNext(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> step) override { show(step, wexo); }
    void onPrev(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> step) override { show(step, wexo); }
    void show(const std::shared_ptr<WexoStep> &step, const std::shared_ptr<Wexo> &wexo)
    {
        shown = new WOverlay(step, wexo, view);
        paints = 0;
        shown->installEventFilter(this);
        shown->setDelegate(this);
        shown->show();
    }
};

struct Host {
    QMainWindow window;
    QWidget *view = nullptr;
    std::shared_ptr<Wexo> page;
    Launcher launcher;
};
Host *current = nullptr;

std::shared_ptr<WexoStep> step(qint64 order)
{
    auto made = std::make_shared<WexoStep>();
    made->Frame = QStringLiteral("target");
    made->dislplayType = QStringLiteral("screen");
    made->Title = QStringLiteral("Step");
    made->description = QStringLiteral("What this step is about.");
    made->OrderNumber = order;
    return made;
}

void build(Host &host)
{
    auto *central = new QWidget;
    auto *target = new QPushButton(QStringLiteral("Target"), central);
    target->setObjectName(QStringLiteral("target"));
    target->setGeometry(800, 500, 200, 40);
    host.window.setCentralWidget(central);
    host.window.resize(screen);
    host.view = new QWidget(&host.window);
    host.view->setGeometry(QRect(QPoint(), screen));
    host.launcher.view = host.view;
    host.page = std::make_shared<Wexo>();
    host.page->values = QList<std::shared_ptr<WexoStep>>{step(0), step(1)};
    host.page->totalWexoSteps = 2;
    host.window.show();
    host.view->raise();
}

void BM_overlayPaint(benchmark::State &state)
{
    Host &host = *current;
    WOverlay overlay(host.page->values->first(), host.page, host.view);
    overlay.show();
    QImage image(screen, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        overlay.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    }
}
BENCHMARK(BM_overlayPaint)->Unit(benchmark::kMillisecond);

void BM_plainFill(benchmark::State &state)
{
    Host &host = *current;
    PlainFill plain(host.view);
    plain.setGeometry(QRect(QPoint(), screen));
    plain.show();
    QImage image(screen, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        plain.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    }
}
BENCHMARK(BM_plainFill)->Unit(benchmark::kMillisecond);

void BM_tapToNext(benchmark::State &state)
{
    Host &host = *current;
    const QPoint aside(5, 5);
    for (auto _ : state) {
        state.PauseTiming();
        host.launcher.show(host.page->values->first(), host.page);
        QPointer<WOverlay> first = host.launcher.shown;
        state.ResumeTiming();
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, aside);
        state.PauseTiming();
        if (host.launcher.shown == first)
            state.SkipWithError("the tap did not move on");
        else if (host.launcher.paints == 0)
            state.SkipWithError("the next step was not painted");
        delete host.launcher.shown;
        delete first;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_tapToNext)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Cards appear at once: the figure is the work, not an animation's length.
    WTiming::setScale(0);
    Host host;
    build(host);
    current = &host;
    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);
    fflush(stdout);
    if (const std::optional<double> ratio = report.ratio("BM_overlayPaint", "BM_plainFill"))
        printf("overlay paint ratio %.3f (overlay / plain fill, target at most 1.5), %.3f ms (target under 2 ms)\n",
               *ratio, *report.time("BM_overlayPaint"));
    if (const std::optional<double> ratio = report.ratio("BM_tapToNext", "BM_overlayPaint"))
        printf("tap-to-next ratio %.3f (tap to next / overlay paint), %.3f ms\n", *ratio,
               *report.time("BM_tapToNext"));
    benchmark::Shutdown();
    current = nullptr;
    return 0;
}
