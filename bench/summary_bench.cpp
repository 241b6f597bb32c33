// The per-layer summary the window makes when it opens, on the shared
// 1,000,000-entity drawing: one pass over the entity tables, to be set against
// the reading of the same drawing (BM_JwwReadBytes), and the idle line's
// recount that every keystroke in a cell costs.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/layer_summary.h"
#include "bench/bench_drawing.h"
#include "exchange/read/reader.h"

namespace {

void BM_SummarizeLayers(benchmark::State& state) {
  const TJwwData& d = BenchDrawingStore();
  int64_t total = 0;
  for (auto _ : state) {
    const auto summary = std::make_unique<TLayerSummary>(SummarizeLayers(d));
    total = summary->total;
    benchmark::DoNotOptimize(total);
  }
  if (total != static_cast<int64_t>(d.Order.size())) state.SkipWithError("the summary missed entities");
  state.counters["entities"] = static_cast<double>(total);
}
BENCHMARK(BM_SummarizeLayers)->Unit(benchmark::kMillisecond);

void BM_IdleLineAndTint(benchmark::State& state) {
  const auto summary = std::make_unique<TLayerSummary>(SummarizeLayers(BenchDrawingStore()));
  TGridWidths widths;
  widths.fill(25);
  TConvertKinds kinds;
  kinds.points = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GridUse(*summary, widths, kinds));
    benchmark::DoNotOptimize(IdleSummaryText(*summary, widths, kinds));
  }
}
BENCHMARK(BM_IdleLineAndTint)->Unit(benchmark::kMicrosecond);

}  // namespace
