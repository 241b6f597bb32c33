// The field split of exchange-file lines: byte rules, counts and the 32-field limit.
#include "exchange/read/line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
  const char* name;
  std::string line;
  std::vector<std::string> fields;  // the kept fields, in order
  std::size_t count;
};

std::vector<std::string> Kept(const TJwwFields& f) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < f.count && i < TJwwFields::kMaxFields; ++i) out.emplace_back(f[i]);
  return out;
}

std::string CaseName(const testing::TestParamInfo<SplitCase>& p) { return p.param.name; }

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, GivesFieldsAndCount) {
  const SplitCase& c = GetParam();
  std::string bytes = c.line;
  TJwwFields f;
  JwwSplitFields(bytes.data(), bytes.size(), f);
  EXPECT_EQ(Kept(f), c.fields);
  EXPECT_EQ(f.count, c.count);
}

// "図面" is 0x90 0x7D 0x96 0xCA; 0x81 0x40 is the full-width space, whose
// second byte is a blank that must not end the field.
INSTANTIATE_TEST_SUITE_P(
    Lines, SplitTest,
    testing::Values(
        SplitCase{"Empty", "", {""}, 1},
        SplitCase{"OnlyBlanks", "   ", {""}, 1},
        SplitCase{"PlainNumbers", "0 0 100 50.5", {"0", "0", "100", "50.5"}, 4},
        SplitCase{"RunsOfBlanksAndTabs", "  a \t\t b   c", {"a", "b", "c"}, 3},
        SplitCase{"TrailingBlankAddsEmptyField", "ci 0 0 5 ", {"ci", "0", "0", "5", ""}, 5},
        SplitCase{"SeveralTrailingBlanksAddOne", "ci 0 0 5   ", {"ci", "0", "0", "5", ""}, 5},
        SplitCase{"QuoteKeepsBlanksAndLaterQuotes", "ch 1 2 3 4 \"A B\"", {"ch", "1", "2", "3", "4", "A B\""}, 6},
        SplitCase{"QuoteInsideKeyJoinsKey", "cn\"$\x82\x6c\x82\x72 Font", {"cn$\x82\x6c\x82\x72 Font"}, 1},
        SplitCase{"EqualsKeptAndEndsSplitting", "file=C:\\\x90\x7D\x96\xCA 1\\a.jww", {"file=C:\\\x90\x7D\x96\xCA 1\\a.jww"}, 1},
        SplitCase{"EqualsAfterQuoteIsPlain", "a \"b=c d", {"a", "b=c d"}, 2},
        SplitCase{"TrailByteBlankStaysInPair", "a\x81\x40" "b c", {"a\x81\x40" "b", "c"}, 2},
        SplitCase{"TrailByteQuoteStaysInPair", "\x83\x22x y", {"\x83\x22x", "y"}, 2},
        SplitCase{"LeadByteLastIsDropped", "ab \x82", {"ab", ""}, 2},
        SplitCase{"LeadByteAloneIsDropped", "\x82", {""}, 1},
        SplitCase{"ControlBytesDropped", "a\x01\x1F" "b\x7F", {"ab\x7F"}, 1},
        SplitCase{"NulBytesDropped", std::string("1\0 2", 4), {"1", "2"}, 2},
        SplitCase{"FeFfDropped", "a\xFE\xFF" "b", {"ab"}, 1},
        SplitCase{"HalfWidthKanaKept", "\xB1\xB2 c", {"\xB1\xB2", "c"}, 2},
        SplitCase{"TabDroppedOnceSplittingIsOff", "x \"a\tb", {"x", "ab"}, 2},
        SplitCase{"OnlyControlBytes", "\x01\x02\r", {""}, 1},
        SplitCase{"BlankThenControlByteCountsTwo", "a \x01", {"a", ""}, 2}),
    CaseName);

std::string Words(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "w" + std::to_string(i) + " ";
  s.pop_back();
  return s;
}

// Past 32 fields the words are dropped but counted, so forms that need an
// exact count cannot match an over-long line by its first words.
TEST(SplitLimit, KeepsThirtyTwoFieldsAndCountsAll) {
  for (const int n : {31, 32, 33, 40, 100000}) {
    std::string bytes = Words(n);
    TJwwFields f;
    JwwSplitFields(bytes.data(), bytes.size(), f);
    EXPECT_EQ(f.count, static_cast<std::size_t>(n)) << n;
    EXPECT_EQ(f[31], n >= 32 ? "w31" : "") << n;
    EXPECT_EQ(f[32], "") << n;
    EXPECT_EQ(f[0], "w0") << n;
  }
}

TEST(SplitLimit, QuotePastTheLastKeptFieldLeavesKeptFieldsWhole) {
  std::string bytes = Words(33) + " \"tail with blanks";
  TJwwFields f;
  JwwSplitFields(bytes.data(), bytes.size(), f);
  EXPECT_EQ(f.count, 34u);
  EXPECT_EQ(f[31], "w31");
}

}  // namespace
