// Finding a widget by element identifier against Qt's own findChild, on one
// generated tree of 10,000 widgets, eight levels deep, with the target last in
// pre-order so both searches visit every widget.
#include "BenchReport.h"
#include "WexoCreator/extensions/WElementIdentity.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <memory>
#include <optional>

namespace {

constexpr int widgetCount = 10000;
constexpr int levels = 8;
constexpr int branching = 4;

// Level by level, each parent taking `branching` children until the count is
// reached: level sizes 1, 4, 16, … 4096 and 4539 on the eighth level.
std::unique_ptr<QWidget> buildTree()
{
    auto root = std::make_unique<QWidget>();
    QList<QWidget *> level{root.get()};
    int made = 1;
    for (int depth = 1; depth < levels && made < widgetCount; ++depth) {
        QList<QWidget *> next;
        for (QWidget *parent : level) {
            for (int i = 0; i < branching && made < widgetCount; ++i, ++made) {
                auto *child = new QWidget(parent);
                child->setObjectName(QStringLiteral("w%1").arg(made, 5, 10, QLatin1Char('0')));
                next.append(child);
            }
        }
        level = next;
    }
    // The last widget in pre-order: keep taking the last child.
    QWidget *last = root.get();
    while (!last->children().isEmpty())
        last = static_cast<QWidget *>(last->children().constLast());
    last->setObjectName(QStringLiteral("target"));
    return root;
}

QWidget *tree()
{
    static std::unique_ptr<QWidget> root = buildTree();
    return root.get();
}

const QString targetName = QStringLiteral("target");

void BM_getWView(benchmark::State &state)
{
    QWidget *root = tree();
    for (auto _ : state)
        benchmark::DoNotOptimize(WexoCreator::getWView(root, targetName));
}
BENCHMARK(BM_getWView);

void BM_findChild(benchmark::State &state)
{
    QWidget *root = tree();
    for (auto _ : state)
        benchmark::DoNotOptimize(root->findChild<QWidget *>(targetName));
}
BENCHMARK(BM_findChild);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QWidget *root = tree();
    const QWidget *found = WexoCreator::getWView(root, targetName);
    if (!found || found != root->findChild<QWidget *>(targetName) || root->findChildren<QWidget *>().size() != widgetCount - 1) {
        fprintf(stderr, "the generated tree is not what the comparison needs\n");
        return 1;
    }

    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);
    fflush(stdout);
    if (const std::optional<double> ratio = report.ratio("BM_getWView", "BM_findChild"))
        printf("lookup ratio getWView/findChild: %.3f (target at most 1.2)\n", *ratio);
    benchmark::Shutdown();
    return 0;
}
