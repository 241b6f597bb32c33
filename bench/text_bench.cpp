// The number readers on fields shaped like those of a host exchange file: they
// run once per field, tens of millions of times for a large drawing.
#include <benchmark/benchmark.h>

#include <string_view>

#include "util/text.h"

namespace {

constexpr std::string_view kRealFields[] = {
    "0",       "150",           "-12.25",          "1234.56789012345", "-2.8421709430404E-14",
    "0.5",     "98765.4321",    "6.66666666666667E-7", "-41070.1234567891", "3",
};

constexpr std::string_view kIntFields[] = {"0", "2", "-1", "25", "$F", "16777215", "100", "7"};

void BM_TextToFloat(benchmark::State& state) {
  std::size_t bytes = 0;
  for (std::string_view f : kRealFields) bytes += f.size();
  for (auto _ : state) {
    for (std::string_view f : kRealFields) benchmark::DoNotOptimize(TextToFloat(f));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(kRealFields)));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_TextToFloat);

void BM_TextToInt(benchmark::State& state) {
  for (auto _ : state) {
    for (std::string_view f : kIntFields) benchmark::DoNotOptimize(TextToInt(f));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(kIntFields)));
}
BENCHMARK(BM_TextToInt);

}  // namespace
