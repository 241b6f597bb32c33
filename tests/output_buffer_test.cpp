// The output line buffer: entries kept whole, text pairs joined by structure.
#include "exchange/output_buffer.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
