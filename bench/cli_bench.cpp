// The batch command's OK flow against the least any tool must do with the same
// file, copy it line by line, side by side in one run: on the shared large
// drawing (argument 0) and on a small 10,000-entity one (argument 10000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/presets.h"
#include "bench/bench_drawing.h"
#include "bench/line_copy.h"
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

// CPU time of the whole process so far: all its threads, the conversion's too.
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

// The middle value (the mean of the two middle ones for an even count).
double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 == 1 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Runs `work` once and notes its wall and CPU seconds.
template <typename Work>
auto Timed(Work work, std::vector<double>& wall, std::vector<double>& cpu) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  auto result = work();
  cpu.push_back(CpuSeconds() - cpuStart);
  wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return result;
}

double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (const double x : v) sum += x;
  return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// Runs the conversion as the command line would; false, with the benchmark
// stopped with its message, when it fails.
bool ConvertOnce(benchmark::State& state, const std::vector<std::string>& args, std::vector<double>& wall,
                 std::vector<double>& cpu) {
  std::ostringstream out;
  std::ostringstream err;
  if (Timed([&] { return RunCli(args, out, err); }, wall, cpu) == 0) return true;
  state.SkipWithError(err.str().c_str());
  return false;
}

// The line copy, timed the same way; false, with the benchmark stopped, when
// a file fails.
bool CopyOnce(benchmark::State& state, const Setup& s, const std::filesystem::path& to, std::vector<double>& wall,
              std::vector<double>& cpu) {
  if (Timed([&] { return CopyLines(s.exchange, to); }, wall, cpu)) return true;
  state.SkipWithError("the line copy failed");
  return false;
}

std::vector<std::string> ConvertArgs(const Setup& s) {
  return {"convert", "--exchange", s.exchange.string(), "--presets", s.presets.string(), "--out", s.answer.string()};
}

void BM_PlainLineCopy(benchmark::State& state) {
  const Setup& s = TheSetup(state.range(0));
  std::vector<double> wall;
  std::vector<double> cpu;
  for (auto _ : state) {
    if (!CopyOnce(state, s, s.answer, wall, cpu)) return;
  }
  baselines[state.range(0)] = {Mean(wall), Mean(cpu), SteadySeconds(wall)};
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(s.bytes.size()) / 1e6;
}

// Exactly what `t905cli convert` does: load the presets, read, convert, "hd",
// the walk and the close-time write.
void BM_CliConvert(benchmark::State& state) {
  const Setup& s = TheSetup(state.range(0));
  const std::vector<std::string> args = ConvertArgs(s);
  std::vector<double> wall;
  std::vector<double> cpu;
  for (auto _ : state) {
    if (!ConvertOnce(state, args, wall, cpu)) return;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  const Baseline& base = baselines[state.range(0)];
  if (base.seconds > 0) state.counters["x_line_copy"] = Mean(wall) / base.seconds;
  // The same without each one's first iteration, and that first one itself.
  if (base.steadySeconds > 0) state.counters["x_line_copy_steady"] = SteadySeconds(wall) / base.steadySeconds;
  if (!wall.empty()) state.counters["first_ms"] = wall.front() * 1e3;
  // On a busy machine wall time counts the waits for a core; CPU time does not.
  if (base.cpuSeconds > 0) state.counters["x_line_copy_cpu"] = Mean(cpu) / base.cpuSeconds;
}

// The two in turn, one of each per iteration, each with an answer file of its
// own: whatever one leaves behind for the system to do (the page cache's
// writing back, blocks freed by a replaced file) falls on both alike, and a
// machine whose speed drifts during the run moves both figures together.
// Ratios of medians, which one slow iteration (such as the first, with its
// fresh memory) does not move.
void BM_ConvertAlternating(benchmark::State& state) {
  const Setup& s = TheSetup(state.range(0));
  const std::filesystem::path copyAnswer = s.dir / "copy.txt";
  const std::vector<std::string> args = ConvertArgs(s);
  std::vector<double> copyWall, copyCpu, convertWall, convertCpu;
  for (auto _ : state) {
    if (!CopyOnce(state, s, copyAnswer, copyWall, copyCpu)) return;
    if (!ConvertOnce(state, args, convertWall, convertCpu)) return;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.bytes.size()));
  state.counters["copy_ms"] = Median(copyWall) * 1e3;
  state.counters["convert_ms"] = Median(convertWall) * 1e3;
  state.counters["x_line_copy_median"] = Median(convertWall) / Median(copyWall);
  state.counters["x_line_copy_cpu_median"] = Median(convertCpu) / Median(copyCpu);
}

// Each size's line copy right before its conversion, so that both meet the
// same load on a shared machine. Small runs are repeated for a steady figure.
BENCHMARK(BM_PlainLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Iterations(5);
BENCHMARK(BM_CliConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Iterations(5);
BENCHMARK(BM_PlainLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(kSmallEntities)->Iterations(200);
BENCHMARK(BM_CliConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(kSmallEntities)->Iterations(200);

// The same pairs taken in turn: the figures to compare on a shared machine.
BENCHMARK(BM_ConvertAlternating)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Iterations(7);
BENCHMARK(BM_ConvertAlternating)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(kSmallEntities)->Iterations(200);

}  // namespace
