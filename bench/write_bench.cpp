// Writing the answer for a generated 1,000,000-entity drawing: from the store
// into the output line buffer, from the buffer into the file, and a whole run
// of reading the file and writing the answer back.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "exchange/read/reader.h"
#include "exchange/store/store.h"
#include "exchange/write/writer.h"
#include "bench/bench_drawing.h"
#include "tests/support/files.h"

namespace {

// The drawing as a file and read into a store, made once on first use.
struct WriteDrawing {
  TempDir dir;
  std::filesystem::path input;
  std::filesystem::path answer;
  std::string bytes;
  std::unique_ptr<TJwwData> store = std::make_unique<TJwwData>();
  WriteDrawing() {
    input = dir / "drawing.txt";
    answer = dir / "JWC_TEMP.TXT";
    bytes = BenchDrawingBytes();
    WriteFileBytes(input, bytes);
    JwwDataInit(*store);
    JwwReadBytes(*store, bytes);
  }
};

WriteDrawing& TheWriteDrawing() {
  static WriteDrawing drawing;
  return drawing;
}

// The OK flow's part of the writer: "hd" and the walk, into a new writer's answer.
void BuildAnswer(TJwwWriter& w) {
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
}

void BM_WriteToBuffer(benchmark::State& state) {
  const TJwwData& d = *TheWriteDrawing().store;
  int64_t size = 0;
  std::size_t lines = 0;
  for (auto _ : state) {
    TJwwWriter w(d);  // one per answer, as in a run
    BuildAnswer(w);
    benchmark::DoNotOptimize(w.Output.Count());
    size = static_cast<int64_t>(w.Output.FileBytes().size());
    lines = w.Output.Count();
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["answer_MB"] = static_cast<double>(size) / 1e6;
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_WriteToBuffer)->Unit(benchmark::kMillisecond);

void BM_WriteFile(benchmark::State& state) {
  WriteDrawing& drawing = TheWriteDrawing();
  TJwwWriter w(*drawing.store);
  BuildAnswer(w);
  for (auto _ : state) {
    if (!JwwWriteFile(w, drawing.answer)) state.SkipWithError("the answer was not written");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w.Output.FileBytes().size()));
}
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// A whole run without the window: read the host's file, answer, write it back.
void BM_ReadAndWrite(benchmark::State& state) {
  WriteDrawing& drawing = TheWriteDrawing();
  for (auto _ : state) {
    state.PauseTiming();
    WriteFileBytes(drawing.answer, drawing.bytes);
    auto d = std::make_unique<TJwwData>();
    JwwDataInit(*d);
    auto w = std::make_unique<TJwwWriter>(*d);
    state.ResumeTiming();
    JwwReadFile(*d, drawing.answer, nullptr, nullptr, &w->Source);
    BuildAnswer(*w);
    if (!JwwWriteFile(*w, drawing.answer)) state.SkipWithError("the answer was not written");
    state.PauseTiming();
    w.reset();
    d.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(drawing.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(drawing.bytes.size()) / 1e6;
}
BENCHMARK(BM_ReadAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
