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

// The OK flow's part of the writer: "hd" and the walk.
void BuildAnswer(TJwwData& d) {
  JwwWriteInit(d);
  JwwClearOutput(d);
  JwwPutLine(d, "hd");
  JwwWriteData(d, TJwwOverrides{}, nullptr, nullptr);
}

void BM_WriteToBuffer(benchmark::State& state) {
  TJwwData& d = *TheWriteDrawing().store;
  for (auto _ : state) {
    BuildAnswer(d);
    benchmark::DoNotOptimize(d.Output.Count());
  }
  const auto size = static_cast<int64_t>(d.Output.FileBytes().size());
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["answer_MB"] = static_cast<double>(size) / 1e6;
  state.counters["lines"] = static_cast<double>(d.Output.Count());
}
BENCHMARK(BM_WriteToBuffer)->Unit(benchmark::kMillisecond);

void BM_WriteFile(benchmark::State& state) {
  WriteDrawing& drawing = TheWriteDrawing();
  TJwwData& d = *drawing.store;
  BuildAnswer(d);
  for (auto _ : state) {
    if (!JwwWriteFile(d, drawing.answer)) state.SkipWithError("the answer was not written");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.Output.FileBytes().size()));
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
    state.ResumeTiming();
    JwwReadFile(*d, drawing.answer);
    BuildAnswer(*d);
    if (!JwwWriteFile(*d, drawing.answer)) state.SkipWithError("the answer was not written");
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(drawing.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(drawing.bytes.size()) / 1e6;
}
BENCHMARK(BM_ReadAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
