// The shared benchmark drawing, read or generated once.
#include "bench/bench_drawing.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "exchange/read/reader.h"

#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

constexpr std::size_t kEntities = 1000000;
constexpr std::uint32_t kSeed = 1;

std::string LoadOrGenerate() {
  if (const char* path = std::getenv("T905_BENCH_DRAWING"); path != nullptr && *path != '\0') {
    return ReadFileBytes(path);
  }
  return GenerateExchangeFile(kEntities, kSeed);
}

}  // namespace

const std::string& BenchDrawingBytes() {
  static const std::string bytes = LoadOrGenerate();
  return bytes;
}

const TJwwData& BenchDrawingStore() {
  static const std::unique_ptr<TJwwData> store = [] {
    auto d = std::make_unique<TJwwData>();
    JwwDataInit(*d);
    JwwReadBytes(*d, BenchDrawingBytes());
    return d;
  }();
  return *store;
}
