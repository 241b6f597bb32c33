// The field split passes runs of plain bytes over eight at a time; one byte
// that needs its own rule must be seen at any position of such a run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/line_split.h"

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

}  // namespace
