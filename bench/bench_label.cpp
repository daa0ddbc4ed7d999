// A step card's text as a person waits for it: the padded label measured and
// painted with a description far longer than its ten lines, offscreen.
//
// Measure: a new text measured once, as a card does when it is built.
// Paint: the label painted again with the same text, as every repaint does.

#include "WexoCreator/views/WPaddingLabel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

using namespace WexoCreator;

namespace {

constexpr int kCharacters = 20000;
constexpr int kWidth = 300;

QString longText()
{
    const QString words = QStringLiteral("Choose the size that fits you best. ");
    return words.repeated(kCharacters / words.size() + 1).left(kCharacters);
}

void setUpLabel(WPaddingLabel &label)
{
    label.setNumberOfLines(10);
    label.setText(longText());
    label.resize(kWidth, label.heightForWidth(kWidth));
}

void BM_longLabelMeasure(benchmark::State &state)
{
    WPaddingLabel label;
    setUpLabel(label);
    const QString text = label.text();
    for (auto _ : state) {
        label.setText(text);
        benchmark::DoNotOptimize(label.heightForWidth(kWidth));
    }
}
BENCHMARK(BM_longLabelMeasure)->Unit(benchmark::kMillisecond);

void BM_longLabelPaint(benchmark::State &state)
{
    WPaddingLabel label;
    setUpLabel(label);
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        label.render(&image);
    }
}
BENCHMARK(BM_longLabelPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
