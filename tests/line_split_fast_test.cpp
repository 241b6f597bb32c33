// The field split passes runs of plain bytes over eight at a time; one byte
// that needs its own rule must be seen at any position of such a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "exchange/read/line_split.h"
#include "util/text.h"

namespace {

struct InsertCase {
  const char* name;
  std::string inserted;  // one byte, or a lead byte with its partner
  // The fields when it stands at position p of the run `before + after`.
  std::vector<std::string> (*expected)(const std::string& before, const std::string& after);
};

std::vector<std::string> Split(std::string line, std::size_t& count) {
  TJwwFields f;
  JwwSplitFields(line.data(), line.size(), f);
  count = f.count;
  std::vector<std::string> out;
  for (std::size_t i = 0; i < f.count && i < TJwwFields::kMaxFields; ++i) out.emplace_back(f[i]);
  return out;
}

std::vector<std::string> Ends(const std::string& b, const std::string& a) { return {b, a}; }
std::vector<std::string> Drops(const std::string& b, const std::string& a) { return {b + a}; }
std::vector<std::string> KeepsByte(char c, const std::string& b, const std::string& a) { return {b + c + a}; }

class SplitInsideRun : public testing::TestWithParam<InsertCase> {};

TEST_P(SplitInsideRun, ActsAtEveryPosition) {
  const InsertCase& c = GetParam();
  const std::string run = "-1234.5678901E-5x";  // 17 plain bytes
  for (std::size_t p = 1; p < run.size(); ++p) {
    const std::string before = run.substr(0, p);
    const std::string after = run.substr(p);
    std::size_t count = 0;
    const std::vector<std::string> want = c.expected(before, after);
    EXPECT_EQ(Split(before + c.inserted + after, count), want) << "at " << p;
    EXPECT_EQ(count, want.size()) << "at " << p;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, SplitInsideRun,
    testing::Values(
        InsertCase{"Blank", " ", Ends}, InsertCase{"Tab", "\t", Ends},
        InsertCase{"QuoteDroppedAndSplittingOff", "\"", Drops},
        InsertCase{"EqualsKept", "=", [](const std::string& b, const std::string& a) { return KeepsByte('=', b, a); }},
        InsertCase{"ControlDropped", "\x01", Drops}, InsertCase{"NulDropped", std::string(1, '\0'), Drops},
        InsertCase{"FeDropped", "\xFE", Drops},
        InsertCase{"DelKept", "\x7F", [](const std::string& b, const std::string& a) { return KeepsByte('\x7F', b, a); }},
        InsertCase{"KanaKept", "\xB1", [](const std::string& b, const std::string& a) { return KeepsByte('\xB1', b, a); }},
        InsertCase{"PairWithBlankTrailKept", "\x81\x40",
                   [](const std::string& b, const std::string& a) { return std::vector<std::string>{b + "\x81\x40" + a}; }}),
    [](const testing::TestParamInfo<InsertCase>& p) { return std::string(p.param.name); });

// Many fields in a row, each moved or not: the kept bytes and the count stay
// right past the 32 kept fields.
TEST(SplitManyFields, FortyNumbersKeepThirtyTwoAndCountForty) {
  std::string line;
  std::vector<std::string> want;
  for (int i = 0; i < 40; ++i) {
    const std::string word = std::to_string(i * 1234567) + ".25";
    line += word + (i % 3 == 0 ? "  \t" : " ");
    if (i < 32) want.push_back(word);
  }
  std::size_t count = 0;
  EXPECT_EQ(Split(line, count), want);
  EXPECT_EQ(count, 41u);  // the trailing blank adds an empty field
}

// The split's rules written out byte by byte, as plainly as they read, for
// the fast ways through the split to be held against.
struct TRefSplit {
  std::vector<std::string> fields;  // the kept ones
  std::size_t count = 0;
  std::size_t exact = 0;
};

TRefSplit ReferenceSplit(const std::string& line) {
  TRefSplit r;
  std::string cur;
  bool curEmpty = true;
  bool splitting = true;
  std::size_t field = 0;
  std::size_t exact = TJwwFields::kMaxFields + 1;
  const auto notExact = [&] { exact = std::min(exact, field); };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    if (splitting && (b == ' ' || b == '\t')) {
      if (!curEmpty) {
        if (field < TJwwFields::kMaxFields) r.fields.push_back(cur);
        ++field;
        cur.clear();
        curEmpty = true;
      }
      continue;
    }
    if (IsSjisLeadByte(b)) {
      notExact();
      if (i + 1 == line.size()) break;
      cur += line.substr(i, 2);
      curEmpty = false;
      ++i;
    } else if (splitting && b == '"') {
      notExact();
      splitting = false;
    } else if (splitting && b == '=') {
      notExact();
      cur += '=';
      curEmpty = false;
      splitting = false;
    } else if (b < 0x20 || b > 0xFD) {
      notExact();
    } else {
      cur += static_cast<char>(b);
      curEmpty = false;
    }
  }
  if (field < TJwwFields::kMaxFields) r.fields.push_back(cur);
  r.count = field + 1;
  r.exact = std::min(exact, r.count);
  return r;
}

// Splits a copy of `line`; also checks every kept field lies in the copy.
TRefSplit SplitCopy(const std::string& line, bool* plain = nullptr) {
  std::string bytes = line;
  TJwwFields f;
  if (plain != nullptr) {
    TJwwFields p;
    *plain = JwwSplitPlainFields(bytes.data(), bytes.size(), p);
  }
  JwwSplitFields(bytes.data(), bytes.size(), f);
  TRefSplit r;
  r.count = f.count;
  r.exact = f.exact;
  for (std::size_t i = 0; i < f.count && i < TJwwFields::kMaxFields; ++i) {
    EXPECT_GE(f.field[i].data, bytes.data());
    EXPECT_LE(f.field[i].data + f.field[i].size, bytes.data() + bytes.size());
    r.fields.emplace_back(f[i]);
  }
  return r;
}

void ExpectSameSplit(const std::string& line, bool* plain = nullptr) {
  const TRefSplit want = ReferenceSplit(line);
  const TRefSplit got = SplitCopy(line, plain);
  EXPECT_EQ(got.fields, want.fields) << testing::PrintToString(line);
  EXPECT_EQ(got.count, want.count) << testing::PrintToString(line);
  EXPECT_EQ(got.exact, want.exact) << testing::PrintToString(line);
}

struct PlainCase {
  const char* name;
  std::string line;
  bool plain;  // whether the fast way takes it
};

class SplitPlainLine : public testing::TestWithParam<PlainCase> {};

// Lines at the edges of the fast way: lengths around its 8- and 64-byte
// steps, blanks and fields across them, the bytes either side of its range.
TEST_P(SplitPlainLine, TakesWhatItShouldAndMatchesTheRules) {
  const PlainCase& c = GetParam();
  bool plain = false;
  ExpectSameSplit(c.line, &plain);
  EXPECT_EQ(plain, c.plain);
}

std::string Fields(std::size_t n, const std::string& word, const std::string& gap) {
  std::string line;
  for (std::size_t i = 0; i < n; ++i) line += (i == 0 ? "" : gap) + word;
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitPlainLine,
    testing::Values(
        PlainCase{"Empty", "", true}, PlainCase{"OneBlank", " ", true},
        PlainCase{"SixtyFiveBlanks", std::string(65, ' '), true},
        PlainCase{"Keyword", "ci 12.5 -3 4e-2", true},
        PlainCase{"LeadingAndDoubleBlanks", "   sl  1 2   3 4", true},
        PlainCase{"TrailingBlank", "ci 1 2 3 ", true},
        PlainCase{"FieldOfSixtyFour", std::string(64, 'x'), true},
        PlainCase{"FieldAcrossSixtyFour", std::string(60, ' ') + "abcdefgh", true},
        PlainCase{"BlankAtSixtyThree", std::string(63, '7') + " 8", true},
        PlainCase{"BlankAtSixtyFour", std::string(64, '7') + " 8", true},
        PlainCase{"BlankAtSixtyFiveLast", std::string(65, '7') + " ", true},
        PlainCase{"LongLine", Fields(30, "123456.789", " "), true},
        PlainCase{"ThirtyThreeFields", Fields(33, "9", " "), true},
        PlainCase{"FortyFieldsAndTrailingBlank", Fields(40, "-1.5", "  ") + " ", true},
        PlainCase{"TildeAndBang", "~! !~", true},
        PlainCase{"TabLeavesIt", "ci\t1 2 3", false},
        PlainCase{"TabPastSixtyFour", std::string(70, 'a') + "\tb", false},
        PlainCase{"QuoteLeavesIt", "cn\"$x", false}, PlainCase{"EqualsLeavesIt", "file=a b", false},
        PlainCase{"DelLeavesIt", "a\x7F b", false}, PlainCase{"ControlLeavesIt", "a \x1F", false},
        PlainCase{"NulLeavesIt", std::string("a\0b", 3), false},
        PlainCase{"LeadByteLeavesIt", "ch 1 2 3 4 \x90\x7D", false},
        PlainCase{"LeadByteLastInLongLine", std::string(64, 'a') + "\x82", false},
        PlainCase{"KanaLeavesIt", "\xB1 a", false}, PlainCase{"HighByteLeavesIt", "a \xFF", false}),
    [](const testing::TestParamInfo<PlainCase>& p) { return std::string(p.param.name); });

// Random lines, most of them of the fast way's bytes, some with one byte of
// each other rule: the split matches the byte-wise rules on every one.
TEST(SplitRandomLines, MatchTheByteWiseRules) {
  const std::string plainBytes = "0123456789.-+eE   ciltsabcxyzABC~!";
  const std::string oddBytes = std::string("\t\"=\x00\x01\x1F\x7F\x80\x81\x9F\xA0\xB1\xDF\xE0\xFC\xFD\xFE\xFF", 19);
  std::mt19937 rng(905);
  std::size_t plainLines = 0;
  constexpr int kLines = 200000;
  for (int n = 0; n < kLines; ++n) {
    const std::size_t size = rng() % 4 == 0 ? rng() % 200 : rng() % 70;
    std::string line(size, ' ');
    for (char& c : line) c = plainBytes[rng() % plainBytes.size()];
    const unsigned odd = rng() % 3 == 0 ? rng() % 4 : 0;
    for (unsigned k = 0; k < odd && size > 0; ++k) line[rng() % size] = oddBytes[rng() % oddBytes.size()];
    bool plain = false;
    ExpectSameSplit(line, &plain);
    if (plain) ++plainLines;
    if (HasFailure()) break;
  }
  // Most lines went the fast way, so it is what was compared.
  EXPECT_GT(plainLines, kLines / 2);
}
}  // namespace
