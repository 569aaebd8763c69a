// Load, refresh, renumber and save of a large diagram: 5,000 states and
// 20,000 transitions (25,000 nodes, 40,000 links).
#include <benchmark/benchmark.h>

#include "bigdiagram.h"
#include "model/documentio.h"

namespace tarvel {
namespace {

const std::string& bigJson() {
    static const std::string json = bench::bigDiagramJson(5000, 4);
    return json;
}

void prepare(Document& doc) {
    std::string error;
    if (!readDiagramJson(bigJson(), doc.diagram(), error)) {
        throw std::runtime_error(error);
    }
    RestoreGraphInfo(doc.diagram(), true);
    GetGrafoConfig(doc, {});
}

void BM_Parse(benchmark::State& state) {
    for (auto _ : state) {
        Document doc;
        std::string error;
        benchmark::DoNotOptimize(readDiagramJson(bigJson(), doc.diagram(), error));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bigJson().size()));
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_RefreshNodeRecords(benchmark::State& state) {
    Document doc;
    prepare(doc);
    for (auto _ : state) {
        RefreshNodeRecords(doc);
    }
}
BENCHMARK(BM_RefreshNodeRecords)->Unit(benchmark::kMillisecond);

void BM_RenumberEverything(benchmark::State& state) {
    Document doc;
    prepare(doc);
    for (auto _ : state) {
        renumberEverything(doc);
    }
}
BENCHMARK(BM_RenumberEverything)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    Document doc;
    prepare(doc);
    doc.sFullDocname = "/tmp/Big.fsm";
    for (auto _ : state) {
        SaveGraphInfo(doc, true);
        benchmark::DoNotOptimize(writeDiagramJson(doc.diagram()));
        RestoreGraphInfo(doc.diagram(), false);
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The whole round of opening and saving a file: read, refresh, save.
void BM_LoadRefreshSave(benchmark::State& state) {
    for (auto _ : state) {
        Document doc;
        prepare(doc);
        RefreshNodeRecords(doc);
        doc.sFullDocname = "/tmp/Big.fsm";
        SaveGraphInfo(doc, true);
        benchmark::DoNotOptimize(writeDiagramJson(doc.diagram()));
    }
}
BENCHMARK(BM_LoadRefreshSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

BENCHMARK_MAIN();
