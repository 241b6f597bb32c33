// Numbers copied from the exchange file into the answer instead of being
// formatted again: the answer of a file read from disk (marks and copies)
// equals the answer of the same bytes read from memory (everything formatted),
// on generated drawings and on lines whose bytes move or vanish as they are split.
#include <gtest/gtest.h>

#include <string>

#include "exchange/read/reader.h"
#include "exchange/write/writer.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

struct TAnswers {
  std::string fromFile;
  std::string fromBytes;
  std::size_t marked = 0;  // entities with fields to copy, when read from the file
};

std::string Walk(TJwwWriter& w) {
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
  return std::string(w.Output.FileBytes());
}

TAnswers BothAnswers(const std::string& bytes) {
  TempDir dir;
  const auto path = dir / "JWC_TEMP.TXT";
  WriteFileBytes(path, bytes);
  TAnswers a;
  TJwwData file;
  JwwDataInit(file);
  TJwwWriter fileWriter(file);
  EXPECT_TRUE(JwwReadFile(file, path, nullptr, nullptr, &fileWriter.Source));
  for (const TJwwOrder& o : file.Order) a.marked += o.source != 0;
  a.fromFile = Walk(fileWriter);
  EXPECT_EQ(fileWriter.Source, nullptr) << "the walk leaves the exchange file open";
  TJwwData memory;
  JwwDataInit(memory);
  JwwReadBytes(memory, bytes);
  TJwwWriter memoryWriter(memory);
  a.fromBytes = Walk(memoryWriter);
  return a;
}

struct TGeneratedCase {
  const char* name;
  std::size_t entities;
  std::uint32_t seed;
};

class FinalCopyGenerated : public ::testing::TestWithParam<TGeneratedCase> {};

TEST_P(FinalCopyGenerated, AnswerEqualsTheFormattedOne) {
  const TGeneratedCase& c = GetParam();
  const TAnswers a = BothAnswers(GenerateExchangeFile(c.entities, c.seed));
  EXPECT_GT(a.marked, c.entities / 2) << "too few numbers copied for the test to mean much";
  ASSERT_EQ(a.fromFile.size(), a.fromBytes.size());
  EXPECT_TRUE(a.fromFile == a.fromBytes);
}

INSTANTIATE_TEST_SUITE_P(Drawings, FinalCopyGenerated,
                         ::testing::Values(TGeneratedCase{"Seed1", 4000, 1}, TGeneratedCase{"Seed2", 4000, 2},
                                           TGeneratedCase{"Seed3", 20000, 3}, TGeneratedCase{"Seed4", 700, 4}),
                         [](const ::testing::TestParamInfo<TGeneratedCase>& p) { return std::string(p.param.name); });

// A file read without being kept open for the writer has nothing to copy from:
// no entity may be marked, or a writer would look for fields it cannot read.
TEST(FinalCopy, FileNotKeptOpenMarksNothing) {
  TempDir dir;
  const auto path = dir / "JWC_TEMP.TXT";
  WriteFileBytes(path, GenerateExchangeFile(700, 4));
  TJwwData d;
  JwwDataInit(d);
  ASSERT_TRUE(JwwReadFile(d, path));
  ASSERT_GT(d.Order.size(), 0u);
  std::size_t marked = 0;
  for (const TJwwOrder& o : d.Order) marked += o.source != 0;
  EXPECT_EQ(marked, 0u);
}

struct TLineCase {
  const char* name;
  const char* bytes;
  bool copies;  // some field is copied
};

class FinalCopyLines : public ::testing::TestWithParam<TLineCase> {};

TEST_P(FinalCopyLines, AnswerEqualsTheFormattedOne) {
  const TLineCase& c = GetParam();
  const TAnswers a = BothAnswers(std::string("lg1\r\nly2\r\n") + c.bytes);
  EXPECT_EQ(a.fromFile, a.fromBytes);
  EXPECT_EQ(a.marked > 0, c.copies);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FinalCopyLines,
    ::testing::Values(
        TLineCase{"Plain", "10 20.5 -30 0.25\r\n", true},
        TLineCase{"LfOnly", "10 20.5 -30 0.25\n", true},
        TLineCase{"LastLineWithoutEnd", "10 20.5 -30 0.25", true},
        TLineCase{"BlanksAndTabs", "  10\t 20.5   -30\t0.25 \r\n5 6 7 8\r\n", true},
        TLineCase{"CrInsideALine", "10 2\r0.5 -30 0.25\r\n", false},
        TLineCase{"ControlByteFirst", "\x01" "10 20.5 -30 0.25\r\n", false},
        TLineCase{"ControlByteInTheLastField", "10 20.5 -30 0.2\x02" "5\r\n", true},
        TLineCase{"NotFinalForms", "1.50 +2 .5 -0\r\n0.00001 1E5 007 5.\r\n", false},
        TLineCase{"SixteenDigits", "1234567890.123456 1 2 3\r\n", true},
        TLineCase{"Circle", "ci 1.5 2.5 3\r\n", true},
        TLineCase{"Arc", "ci 1 2 3 0 90 1 0\r\n", true},
        TLineCase{"Text", "ch 1 2 3.5 0 \"a b c\r\n", true},
        TLineCase{"TextWithoutDirection", "ch 1 2 0 0 \"x\r\n", true},
        TLineCase{"Points", "pt 1 2\r\npt 3 4 0 5 2\r\npt 3 4 0.5 5 2\r\n", true},
        TLineCase{"Dimension", "msg\r\n0 0 10 0\r\ncs 5 1 10 0 \"10\r\n", false},
        TLineCase{"Solids", "sl 0 0 1 0 1 1 0 1\r\nsl 0 0 0 0 1 1\r\n", false},
        TLineCase{"RoundSolids", "sc 1 2 3 4 0 6.5 1 100\r\nso 1 2 3 4 0 6 1 2\r\n", true},
        TLineCase{"QuoteBeforeTheNumbers", "\"10 20 30 40\r\n", false},
        // Plain lines copied whole, and those next to them that are not.
        TLineCase{"WholeLines", "10 20.5 -30 0.25\r\n-9498.44441417702 6946 0 1\n1 2 3 4", true},
        TLineCase{"WholeLineBeforeCtrlZ", "1 2 3 4\x1A" "5 6 7 8\r\n", true},
        TLineCase{"WholeLineWithCoincidingEnds", "1 2 1 2\r\n1 2 3 4\r\n", true},
        TLineCase{"OneFieldNotFinal", "1 2 3 4.50\r\n1 2 3 4\r\n", true},
        TLineCase{"DoubleBlankOrTab", "1  2 3 4\r\n1 2\t3 4\r\n1 2 3 \t4\r\n", true},
        TLineCase{"ExponentField", "1 2 3 4E1\r\n", true},
        TLineCase{"TwoCarriageReturns", "1 2 3 4\r\r\n", false},
        TLineCase{"PolylineAndDimension", "pl 1\r\n1 2 3 4\r\n5 6 7 8\r\n#\r\nmsg\r\n0 0 10 0\r\n1 2 3 4\r\n", true}),
    [](const ::testing::TestParamInfo<TLineCase>& p) { return std::string(p.param.name); });

}  // namespace
