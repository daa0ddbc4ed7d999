// The outline follows every move of a press, so a pick must be cheap. The
// inspector's pick walk against Qt's own QWidget::childAt, on an offscreen
// main window holding 10,000 widgets (eight levels, siblings tiling their
// parent two by two), with the library's covering window and the faded outline
// view on top, and the point inside one of the deepest widgets.
#include "BenchReport.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/recording/Inspector.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>

#include <memory>
#include <optional>

namespace {

constexpr int widgetCount = 10000;
constexpr int levels = 8;
constexpr int side = 2048;

struct Host {
    std::unique_ptr<QMainWindow> window;
    QPoint point; // inside a deepest widget, in window coordinates
};

// Level by level, each parent taking four children in a two-by-two grid until
// the count is reached: level sizes 1, 4, 16, … 4096 and 4539 on the eighth.
Host buildHost()
{
    Host host{std::make_unique<QMainWindow>(), {}};
    auto *root = new QWidget;
    host.window->setCentralWidget(root);
    host.window->resize(side, side);
    QList<QWidget *> level{root};
    QWidget *deepest = root;
    int made = 1;
    for (int depth = 1; depth < levels && made < widgetCount; ++depth) {
        QList<QWidget *> next;
        const int cell = side >> depth;
        for (QWidget *parent : level) {
            for (int i = 0; i < 4 && made < widgetCount; ++i, ++made) {
                auto *child = new QWidget(parent);
                child->setGeometry((i % 2) * cell, (i / 2) * cell, cell, cell);
                next.append(child);
                deepest = child;
            }
        }
        level = next;
    }

    // The library's covering window lets clicks through outside its console.
    auto *covering = new QWidget(host.window.get());
    covering->setGeometry(host.window->rect());
    covering->setAttribute(Qt::WA_TransparentForMouseEvents);
    WexoCreator::WLibraryWidgets::mark(covering);
    host.window->show();

    // On and off again: the outline view stays, faded out, over the host.
    WexoCreator::Inspector &inspector = WexoCreator::Inspector::shared();
    inspector.invokeInspector();
    inspector.invokeInspector();
    covering->raise();
    host.point = deepest->mapTo(host.window.get(), deepest->rect().center());
    return host;
}

// Built in main and dropped there, before the application goes.
Host *current = nullptr;

Host &host()
{
    return *current;
}

void BM_pick(benchmark::State &state)
{
    Host &h = host();
    const WexoCreator::Inspector &inspector = WexoCreator::Inspector::shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(inspector.pickAt(h.point, h.window.get()));
}
BENCHMARK(BM_pick);

void BM_childAt(benchmark::State &state)
{
    Host &h = host();
    for (auto _ : state)
        benchmark::DoNotOptimize(h.window->childAt(h.point));
}
BENCHMARK(BM_childAt);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    Host built = buildHost();
    current = &built;
    Host &h = host();
    const QList<QWidget *> views = WexoCreator::Inspector::shared().viewsAtPoint(h.point, h.window.get());
    QWidget *frameView = WexoCreator::Inspector::shared().frameView();
    if (views.size() != levels || views.last() != h.window->childAt(h.point) || !frameView
        || WexoCreator::Inspector::shared().pickAt(h.point, h.window.get()) != views.last()
        || h.window->findChildren<QWidget *>().size() < widgetCount) {
        fprintf(stderr, "the pick walk and childAt do not agree on the generated window\n");
        return 1;
    }

    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);
    fflush(stdout);
    if (const std::optional<double> ratio = report.ratio("BM_pick", "BM_childAt"))
        printf("pick ratio %.3f (pick / childAt, target at most 2.0)\n", *ratio);
    benchmark::Shutdown();
    current = nullptr;
    return 0;
}
