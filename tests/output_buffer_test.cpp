// The output line buffer: entries kept whole, text pairs joined by structure.
#include "exchange/output_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

namespace {

TEST(OutputBuffer, EntriesBecomeCrLfLinesAndStayWhole) {
  TJwwOutputBuffer b;
  const std::string longLine(1000, 'a');
  b.Append("hd");
  b.Append(longLine);
  b.Append("");
  ASSERT_EQ(b.Count(), 3u);
  EXPECT_EQ(b.Entry(1), longLine);
  EXPECT_EQ(b.Entry(2), "");
  EXPECT_EQ(b.FileBytes(), "hd\r\n" + longLine + "\r\n\r\n");
}

TEST(OutputBuffer, OnlyTextPairsAreJoined) {
  TJwwOutputBuffer b;
  b.Append("cn\"$F\"");  // ends in a quote but stands alone
  b.AppendJoined("ch 0 0 1 0 \"", "A\"");
  b.Append("z1");
  ASSERT_EQ(b.Count(), 4u);
  EXPECT_FALSE(b.JoinsNext(0));
  EXPECT_TRUE(b.JoinsNext(1));
  EXPECT_FALSE(b.JoinsNext(2));
  EXPECT_EQ(b.Entry(1), "ch 0 0 1 0 \"");
  EXPECT_EQ(b.Entry(2), "A\"");
  EXPECT_EQ(b.FileBytes(), "cn\"$F\"\r\nch 0 0 1 0 \"A\"\r\nz1\r\n");
}

TEST(OutputBuffer, ClearEmptiesAndAppendingStartsAfresh) {
  TJwwOutputBuffer b;
  for (int i = 0; i < 1001; ++i) b.Append("0 0 1 1");
  b.Clear();
  EXPECT_EQ(b.Count(), 0u);
  EXPECT_TRUE(b.FileBytes().empty());
  b.Append("lg0");
  EXPECT_EQ(b.Entry(0), "lg0");
  EXPECT_EQ(b.FileBytes(), "lg0\r\n");
}

// Lines written in place and lines copied give the same bytes, across every
// growth of the storage (lines longer than all the room held included) and
// after a Reserve, which keeps what is held.
TEST(OutputBuffer, AgreesWithAStringBuiltAlongside) {
  std::mt19937 rng(611);
  for (int round = 0; round < 200; ++round) {
    TJwwOutputBuffer b;
    std::string expected;
    std::size_t entries = 0;
    const int lines = static_cast<int>(rng() % 300);
    for (int i = 0; i < lines; ++i) {
      const std::size_t size = rng() % 8 == 0 ? rng() % 5000 : rng() % 90;
      const std::string line(size, static_cast<char>('a' + i % 26));
      switch (rng() % 4) {
        case 0: b.Append(line); break;
        case 1: {
          char* out = b.LineRoom(size);
          for (char c : line) *out++ = c;
          b.EndLine(out);
          break;
        }
        case 2:
          b.AppendJoined(line.substr(0, size / 2), line.substr(size / 2));
          ++entries;
          break;
        default:
          b.Reserve(rng() % 20000);
          b.Append(line);
          break;
      }
      expected += line + "\r\n";
      ++entries;
    }
    ASSERT_EQ(b.FileBytes(), expected) << round;
    ASSERT_EQ(b.Count(), entries);
    ASSERT_EQ(b.TotalBytes(), expected.size());
  }
}

// A buffer moved from is empty and usable; a copy holds the same bytes and
// grows apart from the original.
TEST(OutputBuffer, MovedFromIsEmptyAndCopiesGrowApart) {
  TJwwOutputBuffer a;
  for (int i = 0; i < 100; ++i) a.Append("12345.678 -9 0.25 7");
  const std::string held(a.FileBytes());
  TJwwOutputBuffer copy(a);
  TJwwOutputBuffer moved(std::move(a));
  EXPECT_EQ(moved.FileBytes(), held);
  EXPECT_EQ(copy.FileBytes(), held);
  EXPECT_EQ(a.Count(), 0u);  // NOLINT(bugprone-use-after-move): the moved-from state is what is tested
  EXPECT_TRUE(a.FileBytes().empty());
  a.Append("lg0");
  EXPECT_EQ(a.FileBytes(), "lg0\r\n");
  copy.Append(std::string(3000, 'x'));
  EXPECT_EQ(moved.FileBytes(), held);
  EXPECT_EQ(copy.FileBytes().size(), held.size() + 3002);
  moved = std::move(copy);
  EXPECT_EQ(moved.Count(), 101u);
  EXPECT_EQ(copy.Count(), 0u);  // NOLINT(bugprone-use-after-move)
}

}  // namespace
