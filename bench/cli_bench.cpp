// The batch command's OK flow against the least any tool must do with the same
// file, copy it line by line, side by side in one run: on the shared large
// drawing (argument 0) and on a small 10,000-entity one (argument 10000).
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/presets.h"
#include "bench/bench_drawing.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

constexpr std::size_t kSmallEntities = 10000;

// Made once per size, on first use: the drawing, a preset file that converts
// every kind on every layer, and a place for the answer.
struct Setup {
  TempDir dir;
  std::string bytes;
  std::filesystem::path exchange = dir / "JWC_TEMP.TXT";
  std::filesystem::path presets = dir / "t905.dat";
  std::filesystem::path answer = dir / "answer.txt";
  explicit Setup(std::string drawing) : bytes(std::move(drawing)) {
    WriteFileBytes(exchange, bytes);
    TPresetModel model;
    for (std::size_t i = 0; i < kLayerCount; ++i) model.Table(1).Widths[i] = static_cast<int32_t>(i % 50);
    SavePresets(presets, model, TPresetControls{true, true, true, true, ""});
  }
};

// Argument 0 is the shared benchmark drawing; any other the entity count of a
// drawing generated here (seed 1).
const Setup& TheSetup(int64_t entities) {
  static std::map<int64_t, std::unique_ptr<Setup>> setups;
  std::unique_ptr<Setup>& setup = setups[entities];
  if (!setup) {
    setup = std::make_unique<Setup>(entities == 0 ? BenchDrawingBytes()
                                                  : GenerateExchangeFile(static_cast<std::size_t>(entities), 1));
  }
  return *setup;
}

struct Baseline {
  double seconds = 0;        // wall time per iteration
  double cpuSeconds = 0;     // CPU time per iteration
  double steadySeconds = 0;  // wall time per iteration after the first
};
std::map<int64_t, Baseline> baselines;  // by benchmark argument

// CPU time of the whole process so far (this benchmark runs on one thread).
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Mean wall time of the iterations after the first: a process's first run
// pays for memory it touches for the first time (on a virtual machine often
// the host's time to back it), later ones reuse what was freed.
double SteadySeconds(const std::vector<double>& times) {
  if (times.size() < 2) return times.empty() ? 0 : times.front();
  double sum = 0;
  for (std::size_t i = 1; i < times.size(); ++i) sum += times[i];
  return sum / static_cast<double>(times.size() - 1);
}

// Read whole, split at LF with memchr, copy each line with CR LF into a 1 MiB
// buffer written out whenever it fills: one write of the whole 40 MB swings by
// a factor of two from run to run on a busy machine, chunks of 1 MiB do not.
void CopyLines(const std::filesystem::path& from, const std::filesystem::path& to) {
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::ifstream in(from, std::ios::binary);
  std::string bytes;
  in.seekg(0, std::ios::end);
  bytes.resize(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  std::string chunk;
  chunk.reserve(kChunk);
  const auto flush = [&] {
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.clear();
  };
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf != nullptr ? lf : end;
    const char* lineEnd = (stop > p && stop[-1] == '\r') ? stop - 1 : stop;
    const auto size = static_cast<std::size_t>(lineEnd - p);
    if (chunk.size() + size + 2 > kChunk) flush();
    chunk.append(p, size).append("\r\n");
    p = lf != nullptr ? lf + 1 : end;
  }
  flush();
}

void BM_PlainLineCopy(benchmark::State& state) {
  const Setup& s = TheSetup(state.range(0));
  std::vector<double> times;
  double cpu = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    CopyLines(s.exchange, s.answer);
    cpu += CpuSeconds() - cpuStart;
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  double total = 0;
  for (const double t : times) total += t;
  baselines[state.range(0)] = {total / static_cast<double>(state.iterations()),
                                cpu / static_cast<double>(state.iterations()), SteadySeconds(times)};
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(s.bytes.size()) / 1e6;
}


// Exactly what `t905cli convert` does: load the presets, read, convert, "hd",
// the walk and the close-time write.
void BM_CliConvert(benchmark::State& state) {
  const Setup& s = TheSetup(state.range(0));
  const std::vector<std::string> args = {"convert",   "--exchange", s.exchange.string(), "--presets",
                                         s.presets.string(), "--out", s.answer.string()};
  std::vector<double> times;
  double cpu = 0;
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    const int code = RunCli(args, out, err);
    cpu += CpuSeconds() - cpuStart;
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (code != 0) {
      state.SkipWithError(err.str().c_str());
      return;
    }
  }
  double total = 0;
  for (const double t : times) total += t;
  const double seconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  const Baseline& base = baselines[state.range(0)];
  if (base.seconds > 0) state.counters["x_line_copy"] = seconds / base.seconds;
  // The same without each one's first iteration, and that first one itself.
  if (base.steadySeconds > 0) state.counters["x_line_copy_steady"] = SteadySeconds(times) / base.steadySeconds;
  if (!times.empty()) state.counters["first_ms"] = times.front() * 1e3;
  // On a busy machine wall time counts the waits for a core; CPU time does not.
  const double cpuSeconds = cpu / static_cast<double>(state.iterations());
  if (base.cpuSeconds > 0) state.counters["x_line_copy_cpu"] = cpuSeconds / base.cpuSeconds;
}

// Each size's line copy right before its conversion, so that both meet the
// same load on a shared machine. Small runs are repeated for a steady figure.
BENCHMARK(BM_PlainLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Iterations(5);
BENCHMARK(BM_CliConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Iterations(5);
BENCHMARK(BM_PlainLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(kSmallEntities)->Iterations(200);
BENCHMARK(BM_CliConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(kSmallEntities)->Iterations(200);

}  // namespace
