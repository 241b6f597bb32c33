// The four-number line read from a padded copy gives what the bytewise
// reading gives: the same lines taken, the same values to the bit, the same
// final-form marks and the same verdict on how the line is written.
#include "exchange/plain_number_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Reads `line` both ways from a copy of exactly its size (so that the
// sanitizers see any read past it); true when both took it.
bool ExpectSameReading(const std::string& line) {
  const std::vector<char> bytes(line.begin(), line.end());
  TJwwPlainNumbers fast;
  TJwwPlainNumbers slow;
  const bool fastTaken = JwwReadPlainNumberLine(bytes.data(), bytes.size(), fast);
  const bool slowTaken = JwwReadPlainNumberLineBytewise(bytes.data(), bytes.size(), slow);
  EXPECT_EQ(fastTaken, slowTaken) << "[" << line << "]";
  if (!fastTaken || !slowTaken) return false;
  for (int k = 0; k < 4; ++k) {
    EXPECT_TRUE(SameBits(fast.value[k], slow.value[k]))
        << "[" << line << "] field " << k << ": " << fast.value[k] << " " << slow.value[k];
  }
  EXPECT_EQ(fast.ownNumbers, slow.ownNumbers) << "[" << line << "]";
  EXPECT_EQ(fast.asWritten, slow.asWritten) << "[" << line << "]";
  return true;
}

struct LineCase {
  const char* name;
  std::string line;
  bool taken;
};

class PlainNumberLinePadded : public testing::TestWithParam<LineCase> {};

TEST_P(PlainNumberLinePadded, ReadsAsTheBytewiseReading) {
  EXPECT_EQ(ExpectSameReading(GetParam().line), GetParam().taken);
}

std::string Digits(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>('1' + i % 9));
  return s;
}

// A line of four fields, `size` bytes long (at least 7): leading zeros make
// up the first, and the last ends the line.
std::string LineOfSize(std::size_t size) { return std::string(size - 7, '0') + "1 2 3 4"; }

INSTANTIATE_TEST_SUITE_P(
    Lines, PlainNumberLinePadded,
    testing::Values(
        LineCase{"Typical", "-34449.7973976898 12345.123456789 -0.5 7", true},
        LineCase{"SeventeenByteFields", "-34449.7973976898 -34449.7973976898 -34449.7973976898 -1.23456789012345", true},
        LineCase{"SixteenDigits", "1234567890.123456 9007199254740993 -1.234567890123456 0.1234567890123456", true},
        LineCase{"NineteenAndTwentyDigits", "1234567890123456789 12345678901234567890 1.234567890123456789 0", true},
        LineCase{"LongDigitRun", Digits(40) + " 1 2 ." + Digits(30), true},
        LineCase{"LoneSignsAndPoints", "- . -. 0.", true},
        LineCase{"LeadingZeros", "007.5 -00.25 0000 -0.0001", true},
        LineCase{"TrailingZeros", "7.50 -1.0 10 100.000", true},
        LineCase{"BelowPlain", "0.00009 -0.00001 0.0001 -0.000123456789", true},
        LineCase{"MinusZero", "-0 -0.0 0 0.0", true},
        LineCase{"PointsAndSigns", "1.2.3 --4 5- 6.-", true},
        LineCase{"Exponents", "1e5 -6.56818316593086E-14 +3 1E+300", true},
        LineCase{"ExponentOutOfRange", "1e999 2 3 4", true},
        LineCase{"LastFieldEndsTheLine", "1 2 3 4.25", true},
        LineCase{"OneByteFields", "1 2 3 4", true},
        LineCase{"LeadingBlanks", "   1 2 3 4", true},
        LineCase{"RunsOfBlanks", "1  2   3    4", true},
        LineCase{"Tabs", "1\t2 \t3\t\t4", true},
        LineCase{"LeadingTab", "\t1 2 3 4", true},
        LineCase{"ManyBlanks", std::string(20, ' ') + "1 2 3" + std::string(20, ' ') + "4", true},
        LineCase{"TrailingBlank", "1 2 3 4 ", false},
        LineCase{"ThreeFieldsAndABlank", "1 2 3 ", false},
        LineCase{"TrailingTab", "1 2 3 4\t", false},
        LineCase{"ThreeFields", "1 2 3", false},
        LineCase{"FiveFields", "1 2 3 4 5", false},
        LineCase{"BlanksOnly", "    ", false},
        LineCase{"OneByte", "7", false},
        LineCase{"CarriageReturn", "1 2 3 4\r", false},
        LineCase{"CarriageReturnInside", "1 2\r 3 4", false},
        LineCase{"NulByte", std::string("1 2 3 4\0", 8), false},
        LineCase{"NulInside", std::string("1 2\0 3 4", 8), false},
        LineCase{"HighByte", "1 2 3 4\xFE", false},
        LineCase{"LeadByte", "1 2 \x82\x50 4", false},
        LineCase{"ByteAfterDigits", "1 2 3: 4", false},
        LineCase{"SlashInside", "1 2/3 4 5", false},
        LineCase{"Keyword", "ci 1 2 3", false},
        LineCase{"LetterFirst", "x1 2 3 4", false},
        LineCase{"ExponentLetterFirst", "e 1 2 x", false},
        LineCase{"Line7", LineOfSize(7), true},
        LineCase{"Line8", LineOfSize(8), true},
        LineCase{"Line15", LineOfSize(15), true},
        LineCase{"Line16", LineOfSize(16), true},
        LineCase{"Line17", LineOfSize(17), true},
        LineCase{"Line63", LineOfSize(63), true},
        LineCase{"Line64", LineOfSize(64), true},
        LineCase{"Line65", LineOfSize(65), true},
        LineCase{"Line127", LineOfSize(127), true},
        LineCase{"Line128", LineOfSize(128), true},
        LineCase{"Line129", LineOfSize(129), true},
        LineCase{"Line300", LineOfSize(300), true}),
    [](const testing::TestParamInfo<LineCase>& p) { return std::string(p.param.name); });

// Random lines: fields as the host writes them and oddities around them,
// separators of blanks and tabs, a few stray bytes, in lengths across the
// sixteen-byte steps and the padded buffer's limit.
std::string RandomField(std::mt19937_64& rng) {
  static const std::string kOdd[] = {"-", ".", "-.", "0.", "+", "e", "1e5", "-2.5E-14", "1.2.3", "--4", "0", "-0"};
  if (rng() % 8 == 0) return kOdd[rng() % std::size(kOdd)];
  std::string f = rng() % 2 == 0 ? "-" : "";
  const std::size_t whole = rng() % 4 == 0 ? rng() % 20 : 1 + rng() % 6;
  for (std::size_t i = 0; i < whole; ++i) f.push_back(static_cast<char>('0' + rng() % 10));
  if (rng() % 4 != 0) {
    f.push_back('.');
    const std::size_t fraction = rng() % 4 == 0 ? rng() % 24 : rng() % 12;
    for (std::size_t i = 0; i < fraction; ++i) f.push_back(static_cast<char>('0' + rng() % 10));
  }
  return f;
}

TEST(PlainNumberLinePaddedRandom, ReadsAsTheBytewiseReading) {
  std::mt19937_64 rng(20261209);
  const std::string separators[] = {" ", " ", " ", " ", " ", "  ", "\t", " \t", "   "};
  const std::string stray = "\r\t\x01\"=x/:\x82\xFE";
  std::size_t taken = 0;
  const int kLines = 200000;
  for (int n = 0; n < kLines; ++n) {
    std::string line = rng() % 16 == 0 ? " " : "";
    const std::size_t fields = rng() % 8 == 0 ? 3 + rng() % 3 : 4;
    for (std::size_t i = 0; i < fields; ++i) {
      if (i > 0) line += separators[rng() % std::size(separators)];
      line += RandomField(rng);
    }
    if (rng() % 16 == 0) line += rng() % 2 == 0 ? " " : "\t";
    if (rng() % 16 == 0) line[rng() % line.size()] = stray[rng() % stray.size()];
    if (rng() % 64 == 0) line.insert(0, std::string(rng() % 100, '0'));
    if (ExpectSameReading(line)) ++taken;
    if (HasFailure()) break;
  }
  // Both kinds of line reach both ways.
  EXPECT_GT(taken, std::size_t{kLines / 2});
  EXPECT_LT(taken, std::size_t{kLines});
}

// Random bytes over the alphabet the reading cares about.
TEST(PlainNumberLinePaddedRandom, RandomBytesReadAsTheBytewiseReading) {
  std::mt19937_64 rng(905905);
  const std::string alphabet = "0123456789012345678.-+eE     \t\r\x01\"=x\x82\x50/:";
  for (int n = 0; n < 100000; ++n) {
    std::string line;
    const std::size_t len = rng() % 40;
    for (std::size_t i = 0; i < len; ++i) line.push_back(alphabet[rng() % alphabet.size()]);
    ExpectSameReading(line);
    if (HasFailure()) break;
  }
}

}  // namespace
