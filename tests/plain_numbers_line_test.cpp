// Four-number lines read without the general split: the store they leave is
// the one the general split and the line forms leave, values to the bit and
// marks of copyable fields included, and anything else is left to them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "exchange/read/reader.h"
#include "exchange/read/line_rules.h"
#include "exchange/source/source_file.h"

namespace {

// Where each line is taken to lie in the exchange file, so that it is marked for copying.
constexpr std::uint64_t kLineOffset = 100;

// The store as the reader leaves it after one line, and as the general split
// followed by the state and entity forms leaves it.
// `context` is read first: a line after "pl" joins a polyline, one after
// "msg" waits for a dimension's text.
struct TParsed : TJwwData, TJwwReadState {};  // the store and the reader's state

TParsed NewStore(const std::string& context = "") {
  TParsed d;
  JwwDataInit(d);
  if (!context.empty()) JwwParseLine(d, d, context);
  return d;
}

TParsed ByReader(const std::string& line, const std::string& context) {
  TParsed d = NewStore(context);
  std::string bytes = line;
  JwwApplyLine(d, d, bytes.data(), bytes.size(), kLineOffset);
  return d;
}

TParsed ByGeneralSplit(const std::string& line, const std::string& context) {
  TParsed d = NewStore(context);
  std::string bytes = line;
  TJwwFields f;
  JwwSplitFields(bytes.data(), bytes.size(), f);
  if (f.count == 1 && f.Key().empty()) return d;
  if (!JwwTakeStateLine(d, d, f)) JwwTakeEntityLine(d, d, f, kLineOffset);
  return d;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameLine(const TJwwEntLine& p, const TJwwEntLine& q) {
  return p.pl == q.pl && SameBits(p.x1, q.x1) && SameBits(p.y1, q.y1) && SameBits(p.x2, q.x2) &&
         SameBits(p.y2, q.y2);
}

void ExpectSameStore(const std::string& line, const std::string& context) {
  const TParsed a = ByReader(line, context);
  const TParsed b = ByGeneralSplit(line, context);
  EXPECT_TRUE(SameLine(a.PendingDimLine, b.PendingDimLine)) << line;
  EXPECT_EQ(a.attr.DimPending, b.attr.DimPending) << line;
  ASSERT_EQ(a.Order.size(), b.Order.size()) << line;
  for (std::size_t i = 0; i < a.Order.size(); ++i) {
    EXPECT_EQ(a.Order[i].kind, b.Order[i].kind) << line;
    const std::uint16_t fields = TJwwLineSource::Fields(a.Order[i].source);
    if (!TJwwLineSource::IsWholeLine(fields)) {
      EXPECT_EQ(a.Order[i].source, b.Order[i].source) << line;
      continue;
    }
    // Copied whole: every field final, and the line exactly as the answer
    // writes it, its length kept.
    EXPECT_EQ(TJwwLineSource::Offset(a.Order[i].source), TJwwLineSource::Offset(b.Order[i].source)) << line;
    EXPECT_EQ(TJwwLineSource::Fields(b.Order[i].source), TJwwLineSource::kPlainLineFields) << line;
    EXPECT_EQ(TJwwLineSource::WholeLineSize(fields), line.size()) << line;
    EXPECT_TRUE(line.front() != ' ' && line.find("  ") == std::string::npos && line.find('\t') == std::string::npos)
        << line;
  }
  ASSERT_EQ(a.Lines.size(), b.Lines.size()) << line;
  for (std::size_t i = 0; i < a.Lines.size(); ++i) {
    EXPECT_TRUE(SameLine(a.Lines[i], b.Lines[i])) << line;
  }
}

// Checks one line both ways; returns whether the four-number reading took it.
bool CheckLine(const std::string& line, const std::string& context = "") {
  TParsed d = NewStore(context);
  const std::size_t before = d.Order.size();
  const bool taken = JwwTakePlainNumberLine(d, d, line.data(), line.size(), kLineOffset);
  if (!taken) {
    EXPECT_EQ(d.Order.size(), before) << "stored, yet left to the general split: [" << line << "]";
  }
  ExpectSameStore(line, context);
  return taken;
}

struct LineCase {
  const char* name;
  std::string line;
  bool taken;  // by the four-number reading
  std::string context = "";
};

class PlainNumbersLine : public testing::TestWithParam<LineCase> {};

TEST_P(PlainNumbersLine, StoresWhatTheGeneralSplitStores) {
  const LineCase& c = GetParam();
  EXPECT_EQ(CheckLine(c.line, c.context), c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PlainNumbersLine,
    testing::Values(
        LineCase{"Plain", "-9498 6946 -9498.44441417702 858.98628722091", true},
        LineCase{"Exponent", "1 2 -6.56818316593086E-14 1e5", true},
        LineCase{"Signs", "+1 -2 +-3 --4", true},
        LineCase{"MinusZero", "-0 0 -0.0 0.0", true},
        LineCase{"LongDigitRun", "12345678901234567890123 1 2 0.000000000000000000000001", true},
        LineCase{"LoneSignsAndPoints", "- . + e", true},
        LineCase{"TabsAndRunsOfBlanks", "1\t\t2 \t 3  4", true},
        LineCase{"LeadingBlanks", "  \t1 2 3 4", true},
        LineCase{"TrailingBlank", "1 2 3 4 ", false},
        LineCase{"TrailingTab", "1 2 3 4\t", false},
        LineCase{"ThreeFields", "1 2 3", false},
        LineCase{"FiveFields", "1 2 3 4 5", false},
        LineCase{"OneField", "12", false},
        LineCase{"Empty", "", false},
        LineCase{"BlanksOnly", "  \t ", false},
        LineCase{"CarriageReturn", "1 2 3 4\r", false},
        LineCase{"ControlByteInside", "1 2\x01" "5 3 4", false},
        LineCase{"NulByte", std::string("1 2 3 4\0", 8), false},
        LineCase{"Quote", "1 2 \"3 4", false},
        LineCase{"Equals", "1 2 3=4 5", false},
        LineCase{"Letters", "1 2 3 4x", false},
        LineCase{"Keyword", "ci 1 2 3", false},
        LineCase{"LeadByte", "1 2 3 \x82\x50", false},
        LineCase{"HighByte", "1 2 3 4\xFE", false},
        LineCase{"Comma", "1,2 3 4 5", false},
        LineCase{"InPolyline", "1.5 2 3 4.25", true, "pl 1"},
        LineCase{"DimensionLine", "1.5 2 3 4.25", true, "msg"},
        LineCase{"DimensionLineExponent", "1E3 2 3 4", true, "msg"}),
    [](const testing::TestParamInfo<LineCase>& p) { return std::string(p.param.name); });

// Whether the line is marked to be copied whole.
bool MarkedWhole(const std::string& line) {
  TParsed d = NewStore();
  std::string bytes = line;
  JwwApplyLine(d, d, bytes.data(), bytes.size(), kLineOffset);
  return d.Order.size() == 1 && TJwwLineSource::IsWholeLine(TJwwLineSource::Fields(d.Order[0].source));
}

struct WholeCase {
  const char* name;
  std::string line;
  bool whole;
};

class PlainNumbersWholeLine : public testing::TestWithParam<WholeCase> {};

TEST_P(PlainNumbersWholeLine, MarkedOnlyWhenWrittenAsTheAnswerWritesIt) {
  EXPECT_EQ(MarkedWhole(GetParam().line), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PlainNumbersWholeLine,
    testing::Values(WholeCase{"Final", "-9498 6946 -9498.44441417702 858.98628722091", true},
                    WholeCase{"Zeros", "0 0 0 0", true},
                    WholeCase{"LeadingBlank", " 1 2 3 4", false}, WholeCase{"DoubleBlank", "1 2  3 4", false},
                    WholeCase{"Tab", "1 2\t3 4", false}, WholeCase{"BlankThenTab", "1 2 \t3 4", false},
                    WholeCase{"TrailingZero", "1 2 3 4.50", false}, WholeCase{"MinusZero", "1 -0 3 4", false},
                    WholeCase{"Plus", "1 +2 3 4", false}, WholeCase{"Exponent", "1 2 3 4E1", false},
                    WholeCase{"SixteenDigits", "1 2 3 1234567890.123456", false}),
    [](const testing::TestParamInfo<WholeCase>& p) { return std::string(p.param.name); });

// Random lines over an alphabet weighted towards number text and the bytes
// that end the four-number split, and random lines of three to five numbers
// as the host writes them, some with odd separators.
TEST(PlainNumbersLineRandom, StoresWhatTheGeneralSplitStores) {
  std::mt19937_64 rng(905);
  const std::string alphabet = "0123456789012345678.-+eE     \t\r\x01\"=x\x82\x50";
  std::size_t taken = 0;
  for (int n = 0; n < 20000; ++n) {
    std::string line;
    const std::size_t len = rng() % 24;
    for (std::size_t i = 0; i < len; ++i) line.push_back(alphabet[rng() % alphabet.size()]);
    if (CheckLine(line)) ++taken;
  }
  const std::vector<std::string> separators = {" ", " ", " ", "\t", "  ", " \t"};
  for (int n = 0; n < 20000; ++n) {
    std::string line = rng() % 8 == 0 ? " " : "";
    const std::size_t fields = 3 + rng() % 3;
    for (std::size_t i = 0; i < fields; ++i) {
      if (i > 0) line += separators[rng() % separators.size()];
      if (rng() % 2 == 0) line += '-';
      line += std::to_string(rng() % 100000);
      if (rng() % 2 == 0) line += "." + std::to_string(rng() % 10000000000);
      if (rng() % 16 == 0) line += "E-" + std::to_string(rng() % 20);
    }
    if (rng() % 16 == 0) line += rng() % 2 == 0 ? " " : "\r";
    if (CheckLine(line)) ++taken;
  }
  // Both kinds of line reach both ways.
  EXPECT_GT(taken, 5000u);
  EXPECT_LT(taken, 30000u);
}

}  // namespace
