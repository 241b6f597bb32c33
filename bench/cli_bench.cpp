// The batch command's OK flow on a generated 1,000,000-entity drawing, against
// the least any tool must do with that file: copy it line by line.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/cli.h"
#include "app/presets.h"
#include "bench/bench_drawing.h"
#include "tests/support/files.h"

namespace {

// Made once, on first use: the drawing, a preset file that converts every
// kind on every layer, and a place for the answer.
struct Setup {
  TempDir dir;
  const std::string& bytes = BenchDrawingBytes();
  std::filesystem::path exchange = dir / "JWC_TEMP.TXT";
  std::filesystem::path presets = dir / "t905.dat";
  std::filesystem::path answer = dir / "answer.txt";
  Setup() {
    WriteFileBytes(exchange, bytes);
    TPresetModel model;
    for (std::size_t i = 0; i < kLayerCount; ++i) model.Table(1).Widths[i] = static_cast<int32_t>(i % 50);
    SavePresets(presets, model, TPresetControls{true, true, true, true, ""});
  }
};

const Setup& TheSetup() {
  static const Setup setup;
  return setup;
}

double baselineSeconds = 0;     // wall time per iteration, from the baseline run
double baselineCpuSeconds = 0;  // CPU time per iteration, from the baseline run

// CPU time of the whole process so far (this benchmark runs on one thread).
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Read whole, split at LF with memchr, write each line back with CR LF.
void CopyLines(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes;
  in.seekg(0, std::ios::end);
  bytes.resize(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf != nullptr ? lf : end;
    const char* lineEnd = (stop > p && stop[-1] == '\r') ? stop - 1 : stop;
    out.write(p, lineEnd - p);
    out.write("\r\n", 2);
    p = lf != nullptr ? lf + 1 : end;
  }
}

void BM_PlainLineCopy(benchmark::State& state) {
  const Setup& s = TheSetup();
  double total = 0;
  double cpu = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    CopyLines(s.exchange, s.answer);
    cpu += CpuSeconds() - cpuStart;
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  baselineSeconds = total / static_cast<double>(state.iterations());
  baselineCpuSeconds = cpu / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(s.bytes.size()) / 1e6;
}
BENCHMARK(BM_PlainLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Exactly what `t905cli convert` does: load the presets, read, convert, "hd",
// the walk and the close-time write.
void BM_CliConvert(benchmark::State& state) {
  const Setup& s = TheSetup();
  const std::vector<std::string> args = {"convert",   "--exchange", s.exchange.string(), "--presets",
                                         s.presets.string(), "--out", s.answer.string()};
  double total = 0;
  double cpu = 0;
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    const int code = RunCli(args, out, err);
    cpu += CpuSeconds() - cpuStart;
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (code != 0) {
      state.SkipWithError(err.str().c_str());
      return;
    }
  }
  const double seconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  if (baselineSeconds > 0) state.counters["x_line_copy"] = seconds / baselineSeconds;
  // On a busy machine wall time counts the waits for a core; CPU time does not.
  const double cpuSeconds = cpu / static_cast<double>(state.iterations());
  if (baselineCpuSeconds > 0) state.counters["x_line_copy_cpu"] = cpuSeconds / baselineCpuSeconds;
}
BENCHMARK(BM_CliConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
