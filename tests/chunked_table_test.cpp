// The chunked record table: records stay where they were stored across chunk
// boundaries, new records are zero, and clearing gives every chunk back.
#include "exchange/store/chunked_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/store/store.h"

namespace {

constexpr std::size_t kChunk = TJwwTable<int>::kChunkSize;
constexpr std::size_t kLineChunk = TJwwTable<TJwwEntLine>::kChunkSize;

struct TSizeCase {
  const char* name;
  std::size_t count;
  std::size_t capacity;  // chunks allocated, in records
};

class ChunkedTableSizes : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(ChunkedTableSizes, KeepsEveryRecordAndItsAddressAcrossChunks) {
  const TSizeCase& c = GetParam();
  TJwwTable<TJwwEntLine> table;
  std::vector<const TJwwEntLine*> where;
  for (std::size_t i = 0; i < c.count; ++i) {
    TJwwEntLine& rec = table.emplace_back();
    EXPECT_EQ(rec.x2, 0.0) << i;
    EXPECT_EQ(rec.lw, 0) << i;
    rec.x1 = static_cast<double>(i);
    rec.pl = static_cast<int32_t>(i);
    where.push_back(&rec);
  }
  ASSERT_EQ(table.size(), c.count);
  EXPECT_EQ(table.capacity(), c.capacity);
  std::size_t i = 0;
  for (const TJwwEntLine& rec : table) {
    ASSERT_LT(i, c.count);
    EXPECT_EQ(&rec, where[i]) << "record " << i << " moved";
    EXPECT_EQ(rec.x1, static_cast<double>(i));
    EXPECT_EQ(table[i].pl, static_cast<int32_t>(i));
    ++i;
  }
  EXPECT_EQ(i, c.count);
  if (c.count > 0) {
    EXPECT_EQ(&table.back(), where.back());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChunkedTableSizes,
    ::testing::Values(TSizeCase{"Empty", 0, 0}, TSizeCase{"One", 1, kLineChunk},
                      TSizeCase{"FullChunk", kLineChunk, kLineChunk},
                      TSizeCase{"OnePastAChunk", kLineChunk + 1, 2 * kLineChunk},
                      TSizeCase{"SeveralChunks", 3 * kLineChunk + 7, 4 * kLineChunk}),
    [](const ::testing::TestParamInfo<TSizeCase>& p) { return std::string(p.param.name); });

TEST(ChunkedTable, ClearDestroysRecordsAndGivesChunksBack) {
  TJwwTable<std::string> table;
  for (std::size_t i = 0; i < kChunk + 3; ++i) table.push_back(std::string(100, static_cast<char>('a' + i % 26)));
  table.clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.capacity(), 0u);
  EXPECT_TRUE(table.begin() == table.end());
  // Usable again after clearing, starting with a zero record.
  EXPECT_TRUE(table.emplace_back().empty());
  EXPECT_EQ(table.size(), 1u);
}

TEST(ChunkedTable, CopyAndMoveKeepRecordsInOrder) {
  TJwwTable<std::string> table;
  for (std::size_t i = 0; i < kChunk + 2; ++i) table.push_back(std::to_string(i));
  TJwwTable<std::string> copy(table);
  ASSERT_EQ(copy.size(), table.size());
  EXPECT_EQ(copy[kChunk + 1], std::to_string(kChunk + 1));
  EXPECT_NE(&copy[0], &table[0]);
  TJwwTable<std::string> moved(std::move(table));
  EXPECT_EQ(moved.size(), kChunk + 2);
  EXPECT_EQ(moved[kChunk], std::to_string(kChunk));
  copy = moved;
  EXPECT_EQ(copy.size(), kChunk + 2);
  EXPECT_EQ(copy.back(), std::to_string(kChunk + 1));
}

// Appending goes on where each table left off after a copy, a move, a swap
// or a clear, within a chunk and at a chunk's end: the place for the next
// record travels with the records.
TEST(ChunkedTable, AppendsFollowTheRecordsAcrossCopyMoveSwapAndClear) {
  const auto filled = [](std::size_t n, int tag) {
    TJwwTable<std::string> t;
    for (std::size_t i = 0; i < n; ++i) t.push_back(std::to_string(tag) + ":" + std::to_string(i));
    return t;
  };
  const auto expectTail = [](TJwwTable<std::string>& t, std::size_t n, const char* what) {
    t.push_back("next");
    t.emplace_back() = "after";
    ASSERT_EQ(t.size(), n + 2) << what;
    EXPECT_EQ(t[n], "next") << what;
    EXPECT_EQ(t[n + 1], "after") << what;
    std::size_t count = 0;
    for (const std::string& rec : t) {
      (void)rec;
      ++count;
    }
    EXPECT_EQ(count, n + 2) << what;
  };
  for (const std::size_t n : {std::size_t{0}, std::size_t{5}, kChunk - 1, kChunk, kChunk + 3}) {
    TJwwTable<std::string> a = filled(n, 1);
    TJwwTable<std::string> b = filled(kChunk + 1, 2);
    a.swap(b);
    expectTail(b, n, "swapped in");
    expectTail(a, kChunk + 1, "swapped out");
    TJwwTable<std::string> copy = filled(n, 3);
    TJwwTable<std::string> c = copy;
    expectTail(c, n, "copied");
    TJwwTable<std::string> m(std::move(copy));
    expectTail(m, n, "moved");
    m.clear();
    expectTail(m, 0, "cleared");
  }
}

}  // namespace

