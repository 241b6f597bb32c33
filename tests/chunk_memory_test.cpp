// Room for table chunks: every chunk is its own (no two live chunks share a
// byte), keeps what is written in it while others come and go, is aligned for
// any record, and the same holds when two threads take and give back at once.
#include "exchange/chunk_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <thread>
#include <vector>

namespace {

struct TLiveChunk {
  unsigned char* bytes;
  std::size_t size;
  unsigned char mark;
};

TLiveChunk Take(std::size_t size, unsigned char mark) {
  auto* bytes = static_cast<unsigned char*>(JwwChunkAllocate(size));
  std::memset(bytes, mark, size);
  return {bytes, size, mark};
}

// Every byte still holds its chunk's mark: a chunk handed out twice, or
// overlapping another, has some of the other's.
::testing::AssertionResult Intact(const std::vector<TLiveChunk>& live) {
  for (const TLiveChunk& c : live) {
    const auto* bad = std::find_if(c.bytes, c.bytes + c.size, [&](unsigned char b) { return b != c.mark; });
    if (bad != c.bytes + c.size) {
      return ::testing::AssertionFailure() << "chunk of " << c.size << " bytes changed at " << (bad - c.bytes);
    }
    if (reinterpret_cast<std::uintptr_t>(c.bytes) % alignof(std::max_align_t) != 0) {
      return ::testing::AssertionFailure() << "chunk of " << c.size << " bytes misaligned";
    }
  }
  return ::testing::AssertionSuccess();
}

void GiveBack(std::vector<TLiveChunk>& live, std::size_t from) {
  for (std::size_t i = from; i < live.size(); ++i) JwwChunkFree(live[i].bytes, live[i].size);
  live.resize(from);
}

struct TPatternCase {
  const char* name;
  std::vector<std::size_t> sizes;  // taken in turn, round after round
  std::size_t rounds;
};

void PrintTo(const TPatternCase& c, std::ostream* os) { *os << c.name; }

class ChunkPatterns : public ::testing::TestWithParam<TPatternCase> {};

// Taken, half given back (every other one), taken again: freed chunks are
// reused and must not land on live ones.
TEST_P(ChunkPatterns, LiveChunksNeverShareAByte) {
  const TPatternCase& c = GetParam();
  std::vector<TLiveChunk> live;
  unsigned char mark = 1;
  for (std::size_t r = 0; r < c.rounds; ++r) {
    for (std::size_t size : c.sizes) live.push_back(Take(size, mark++));
  }
  ASSERT_TRUE(Intact(live));
  std::vector<TLiveChunk> kept;
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (i % 2 == 0) {
      kept.push_back(live[i]);
    } else {
      JwwChunkFree(live[i].bytes, live[i].size);
    }
  }
  for (std::size_t r = 0; r < c.rounds; ++r) {
    for (std::size_t size : c.sizes) kept.push_back(Take(size, mark++));
  }
  EXPECT_TRUE(Intact(kept));
  GiveBack(kept, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ChunkPatterns,
    ::testing::Values(
        // The store's own sizes: 1,024 records of 16, 64, 160 and 256 bytes.
        TPatternCase{"StoreTables", {16u << 10, 64u << 10, 160u << 10, 256u << 10}, 40},
        // Sizes that are no multiple of the carving step, and a single byte.
        TPatternCase{"OddSizes", {1, 63, 65, 1000, 4097}, 50},
        // Past a region's worth in all: chunks continue in a new region.
        TPatternCase{"ManyRegions", {8u << 20, 3u << 20}, 5},
        // Larger than any region carves: plain heap memory, given back there.
        TPatternCase{"Oversized", {12u << 20, 64u << 10}, 2}),
    [](const ::testing::TestParamInfo<TPatternCase>& p) { return std::string(p.param.name); });

// Two threads taking and giving back at once, as two stores filled on two
// threads do; each checks its own chunks.
TEST(ChunkMemory, TwoThreadsTakeAndGiveBackAtOnce) {
  const auto work = [](unsigned char first, bool* ok) {
    std::vector<TLiveChunk> live;
    unsigned char mark = first;
    for (int step = 0; step < 400; ++step) {
      live.push_back(Take(step % 3 == 0 ? (64u << 10) : (16u << 10), mark));
      mark = static_cast<unsigned char>(mark + 2);
      if (step % 5 == 4) GiveBack(live, live.size() - 2);
    }
    *ok = static_cast<bool>(Intact(live));
    GiveBack(live, 0);
  };
  bool ok1 = false;
  bool ok2 = false;
  std::thread other(work, static_cast<unsigned char>(1), &ok1);
  work(2, &ok2);
  other.join();
  EXPECT_TRUE(ok1);
  EXPECT_TRUE(ok2);
}

}  // namespace
