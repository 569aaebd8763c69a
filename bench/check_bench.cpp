// The check of the 2,000-state machine (5 guarded transitions a state, entry
// and exit actions) against its generation, side by side in one run: both
// start from the same loaded document; the check runs its model checks only
// (the C check's compile is the compiler's time, not ours).
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "bigdiagram.h"
#include "check/checker.h"
#include "codegen/generator.h"
#include "model/fsmfile.h"

namespace tarvel {
namespace {

Document& bigDocument() {
    static Document doc;
    static const bool loaded = [] {
        std::string error;
        if (!readDiagramJson(bench::bigDiagramJson(2000, 5), doc.diagram(), error)) {
            throw std::runtime_error(error);
        }
        RestoreGraphInfo(doc.diagram(), true);
        GetGrafoConfig(doc, {});
        RefreshNodeRecords(doc, false);
        doc.sFullDocname = "/tmp/Big.fsm";
        return true;
    }();
    (void)loaded;
    return doc;
}

GenerationContext noChildren() {
    GenerationContext ctx;
    ctx.openChild = [](const std::string&) -> Document* { return nullptr; };
    ctx.report = [](const std::string&) {};
    return ctx;
}

void BM_Generate2000(benchmark::State& state) {
    Document& doc = bigDocument();
    GenerationContext ctx = noChildren();
    for (auto _ : state) {
        benchmark::DoNotOptimize(generateHierarchicalSwitchCase(doc, ctx));
    }
}
BENCHMARK(BM_Generate2000)->Unit(benchmark::kMillisecond);

void BM_Check2000(benchmark::State& state) {
    Document& doc = bigDocument();
    GenerationContext ctx = noChildren();
    CheckOptions options;
    options.compiler = "none";
    for (auto _ : state) {
        const CheckReport report = runCheck(doc, ctx, options);
        if (!report.findings.empty()) {
            state.SkipWithError("the benchmark machine should check clean");
        }
        benchmark::DoNotOptimize(report.findings.size());
    }
}
BENCHMARK(BM_Check2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

BENCHMARK_MAIN();
