// The output line buffer: entries kept whole, text pairs joined by structure.
#include "exchange/write/output_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "exchange/file/atomic_file.h"
#include "tests/support/files.h"

namespace {

TEST(OutputBuffer, EntriesBecomeCrLfLinesAndStayWhole) {
  TJwwOutputBuffer b;
  const std::string longLine(1000, 'a');
  b.Append("hd");
  b.Append(longLine);
  b.Append("");
  ASSERT_EQ(b.Count(), 3u);
  EXPECT_EQ(b.FileBytes(), "hd\r\n" + longLine + "\r\n\r\n");
}

TEST(OutputBuffer, OnlyTextPairsAreJoined) {
  TJwwOutputBuffer b;
  b.Append("cn\"$F\"");  // ends in a quote but stands alone
  b.AppendJoined("ch 0 0 1 0 \"", "A\"");
  b.Append("z1");
  ASSERT_EQ(b.Count(), 4u);
  EXPECT_EQ(b.LineCount(), 3u);
  EXPECT_EQ(b.FileBytes(), "cn\"$F\"\r\nch 0 0 1 0 \"A\"\r\nz1\r\n");
}

TEST(OutputBuffer, ClearEmptiesAndAppendingStartsAfresh) {
  TJwwOutputBuffer b;
  for (int i = 0; i < 1001; ++i) b.Append("0 0 1 1");
  b.Clear();
  EXPECT_EQ(b.Count(), 0u);
  EXPECT_TRUE(b.FileBytes().empty());
  b.Append("lg0");
  EXPECT_EQ(b.FileBytes(), "lg0\r\n");
}

// The lines counted are the lines of the file written, a text pair being
// one, also when the answer streamed (its join points are then gone).
TEST(OutputBuffer, LineCountIsTheFilesLineCountStreamedOrNot) {
  struct TCountCase {
    const char* name;
    int pairs;
    int plain;
    bool stream;
  };
  TempDir dir;
  for (const TCountCase& c : {TCountCase{"held, pairs only", 3, 0, false}, TCountCase{"held, mixed", 500, 700, false},
                              TCountCase{"streamed, mixed", 40000, 30000, true},
                              TCountCase{"streamed, pairs only", 50000, 0, true}}) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path file = dir / "answer.txt";
    TJwwOutputBuffer b;
    if (c.stream) b.StreamTo(file);
    for (int i = 0; i < std::max(c.pairs, c.plain); ++i) {
      if (i < c.pairs) b.AppendJoined("ch 12345 67890 1 0 \"", "text of a drawing");
      if (i < c.plain) b.Append("-9498 6946 -9498.44441417702 858.98628722091");
    }
    EXPECT_EQ(b.Streaming(), c.stream);
    const std::size_t counted = b.LineCount();
    ASSERT_TRUE(b.WriteFile(file));
    const std::string bytes = ReadFileBytes(file);
    std::size_t lines = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(counted, lines);
    EXPECT_EQ(counted, static_cast<std::size_t>(c.pairs + c.plain));
  }
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
