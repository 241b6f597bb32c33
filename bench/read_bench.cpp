// Reading a generated 1,000,000-entity drawing into a fresh store, from the
// file and from bytes already in memory (the reader's own cost). Rates are per
// CPU second, so a busy machine does not halve them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "exchange/read/reader.h"
#include "exchange/store/store.h"
#include "bench/bench_drawing.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

// The shared drawing as a file in a folder of its own, with its entity count.
struct Drawing {
  TempDir dir;
  std::filesystem::path path = dir / "JWC_TEMP.TXT";
  const std::string& bytes = BenchDrawingBytes();
  std::size_t entities = 0;
  Drawing() {
    WriteFileBytes(path, bytes);
    TJwwData d;
    JwwDataInit(d);
    JwwReadBytes(d, bytes);
    entities = d.Order.size();
  }
};

const Drawing& TheDrawing() {
  static const Drawing drawing;
  return drawing;
}

template <typename Read>
void ReadIntoFreshStore(benchmark::State& state, Read read) {
  const Drawing& drawing = TheDrawing();
  std::size_t entities = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto d = std::make_unique<TJwwData>();
    JwwDataInit(*d);
    state.ResumeTiming();
    read(*d, drawing);
    state.PauseTiming();
    entities = d->Order.size();
    d.reset();
    state.ResumeTiming();
  }
  if (entities != drawing.entities) state.SkipWithError("the reader did not read every entity");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(drawing.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(drawing.bytes.size()) / 1e6;
  state.counters["entities"] = static_cast<double>(entities);
}

void BM_JwwReadFile(benchmark::State& state) {
  // Kept open and its lines marked for copying, as a run reads it.
  ReadIntoFreshStore(state, [](TJwwData& d, const Drawing& drawing) {
    std::unique_ptr<TJwwSourceFile> source;
    JwwReadFile(d, drawing.path, nullptr, nullptr, &source);
  });
}
BENCHMARK(BM_JwwReadFile)->Unit(benchmark::kMillisecond);

void BM_JwwReadBytes(benchmark::State& state) {
  ReadIntoFreshStore(state, [](TJwwData& d, const Drawing& drawing) { JwwReadBytes(d, drawing.bytes); });
}
BENCHMARK(BM_JwwReadBytes)->Unit(benchmark::kMillisecond);

void BM_GenerateDrawing(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) size = GenerateExchangeFile(100000, 1).size();  // a tenth of the drawing
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}
BENCHMARK(BM_GenerateDrawing)->Unit(benchmark::kMillisecond);

}  // namespace
