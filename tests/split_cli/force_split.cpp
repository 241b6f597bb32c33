// Linked into a test build of the batch command: the walk is split on every
// drawing, however small, so that comparing its answers with the normal
// build's covers the split. T905_SPLIT_MIN (default 0), T905_SPLIT_AT and T905_SPLIT_WARMUP choose the
// second part's first record and the warm-up; T905_SPLIT_REPORT prints how
// the walk ran on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "exchange/split_walk.h"

namespace {

std::size_t EnvCount(const char* name, std::size_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? static_cast<std::size_t>(std::stoull(text)) : fallback;
}

void Report() {
  static const char* const kNames[] = {"one-thread", "taken", "redone", "escaped"};
  std::fprintf(stderr, "split walk: %s\n", kNames[static_cast<int>(JwwLastSplitOutcome())]);
}

const bool forced = [] {
  TJwwSplitTuning& tuning = JwwSplitTuning();
  tuning.minRecords = EnvCount("T905_SPLIT_MIN", 0);
  tuning.splitAt = EnvCount("T905_SPLIT_AT", 0);
  tuning.warmUp = EnvCount("T905_SPLIT_WARMUP", tuning.warmUp);
  if (std::getenv("T905_SPLIT_REPORT") != nullptr) std::atexit(Report);
  return true;
}();

}  // namespace
