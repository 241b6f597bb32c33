// Tests of the text and number helpers: whole-text number syntax, blank
// removal and list splitting over Shift-JIS bytes.
#include "util/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Shift-JIS bytes used below.
const std::string kFwSpace = "\x81\x40";  // "　" full-width space
const std::string kFwOne = "\x82\x50";    // "１"
const std::string kCircle = "\x81\x9B";   // "○"
const std::string kShin = "\x90\x5E";     // "真"
const std::string kSei = "\x90\xB3";      // "正"
const std::string kFwA = "\x82\x60";      // "Ａ"
const std::string kFwB = "\x82\x61";      // "Ｂ"
const std::string kSo = "\x83\x5C";       // "ソ": its trail byte is a backslash
const std::string kPo = "\x83\x7C";       // "ポ": its trail byte is "|"
const std::string kKe = "\x83\x50";       // "ケ": its trail byte is "P"

// A row's text for test names and messages: bytes outside plain ASCII, and
// those that test names cannot carry, as <NN> in hex; a long text shortened.
std::string Shown(std::string_view text) {
  if (text.size() > 40) {
    return Shown(text.substr(0, 16)) + "..." + Shown(text.substr(text.size() - 8)) + "(" +
           std::to_string(text.size()) + "bytes)";
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "'";
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b > 0x20 && b < 0x7F && c != ';' && c != '\\' && c != '"' && c != '[' && c != ']' && c != '#' &&
        c != '<' && c != '>') {
      out.push_back(c);
    } else {
      out.push_back('<');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
      out.push_back('>');
    }
  }
  return out + "'";
}

struct IntCase {
  std::string text;
  int32_t expected;
};
void PrintTo(const IntCase& c, std::ostream* os) { *os << Shown(c.text); }

class TextToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(TextToIntTest, ReadsWholeText) { EXPECT_EQ(TextToInt(GetParam().text), GetParam().expected) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Decimal, TextToIntTest,
                         ::testing::Values(IntCase{"", 0}, IntCase{"12", 12}, IntCase{"   12", 12},
                                           IntCase{"12 ", 0}, IntCase{"+7", 7}, IntCase{"-7", -7},
                                           IntCase{"012", 12}, IntCase{"2147483647", 2147483647},
                                           IntCase{"2147483648", 0}, IntCase{"-2147483648", INT32_MIN},
                                           IntCase{"-2147483649", 0}, IntCase{"1.5", 0}, IntCase{"abc", 0},
                                           IntCase{"   ", 0}, IntCase{"-", 0}, IntCase{"+", 0},
                                           IntCase{"\t5", 0}, IntCase{"+-5", 0}, IntCase{"--5", 0},
                                           IntCase{"- 5", 0}, IntCase{"1e3", 0}, IntCase{"5\n", 0},
                                           IntCase{std::string(500, '0') + "12", 12},
                                           IntCase{"99999999999999999999999999", 0},
                                           IntCase{std::string("1\0" "2", 3), 0}));

INSTANTIATE_TEST_SUITE_P(Hex, TextToIntTest,
                         ::testing::Values(IntCase{"$1F", 31}, IntCase{"x1F", 31}, IntCase{"X1f", 31},
                                           IntCase{"0x1F", 31}, IntCase{"0X1f", 31}, IntCase{"-$10", -16},
                                           IntCase{"+$10", 16}, IntCase{"  $a", 10}, IntCase{"$A", 10},
                                           IntCase{"$FFFFFFFF", -1}, IntCase{"$7FFFFFFF", 2147483647},
                                           IntCase{"$80000000", INT32_MIN}, IntCase{"-$80000000", INT32_MIN},
                                           IntCase{"-$FFFFFFFF", 1}, IntCase{"$100000000", 0},
                                           IntCase{"$000000001", 1}, IntCase{"$0000000000FF", 255},
                                           IntCase{"$", 0}, IntCase{"0x", 0}, IntCase{"x", 0},
                                           IntCase{"-$", 0}, IntCase{"$G", 0}, IntCase{"$-1", 0},
                                           IntCase{"$+1", 0}, IntCase{"$ 1", 0}, IntCase{"$1 ", 0},
                                           IntCase{"0x0x1", 0}, IntCase{"00x1", 0}, IntCase{"$$1", 0}));

struct FloatCase {
  std::string text;
  double expected;
};
void PrintTo(const FloatCase& c, std::ostream* os) { *os << Shown(c.text); }

class TextToFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(TextToFloatTest, ReadsWholeText) {
  const double value = TextToFloat(GetParam().text);
  EXPECT_EQ(value, GetParam().expected) << GetParam().text;
  EXPECT_TRUE(std::isfinite(value)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, TextToFloatTest,
    ::testing::Values(FloatCase{"", 0.0}, FloatCase{"1.5", 1.5}, FloatCase{"1.5E2", 150.0},
                      FloatCase{"1.5e2", 150.0}, FloatCase{" 3", 3.0}, FloatCase{"3 ", 0.0},
                      FloatCase{"1,5", 0.0}, FloatCase{"+2.5", 2.5}, FloatCase{"-2.5", -2.5},
                      FloatCase{"1E-5", 1e-5}, FloatCase{"1e+5", 1e5}, FloatCase{"-2.8421709430404E-14", -2.8421709430404e-14},
                      FloatCase{".5", 0.5}, FloatCase{"5.", 5.0}, FloatCase{"-.5", -0.5}, FloatCase{".", 0.0},
                      FloatCase{"-", 0.0}, FloatCase{"+", 0.0}, FloatCase{"e5", 0.0}, FloatCase{"1e", 0.0},
                      FloatCase{"1e+", 0.0}, FloatCase{"1E5.5", 0.0}, FloatCase{"1.2.3", 0.0},
                      FloatCase{"+-1", 0.0}, FloatCase{"--1", 0.0}, FloatCase{"\t1", 0.0},
                      FloatCase{"inf", 0.0}, FloatCase{"-inf", 0.0}, FloatCase{"INF", 0.0},
                      FloatCase{"nan", 0.0}, FloatCase{"NaN", 0.0}, FloatCase{"infinity", 0.0},
                      FloatCase{"0x10", 0.0}, FloatCase{"0x1p3", 0.0}, FloatCase{"$10", 0.0},
                      FloatCase{"1d5", 0.0}, FloatCase{"1 000", 0.0}, FloatCase{"   ", 0.0},
                      FloatCase{std::string("1\0", 2), 0.0}));

// The host writes up to fifteen significant digits; the value must be the
// double nearest the decimal text, not one an ulp off.
INSTANTIATE_TEST_SUITE_P(
    Exactness, TextToFloatTest,
    ::testing::Values(FloatCase{"0.1", 0.1}, FloatCase{"1234.56789012345", 1234.56789012345},
                      FloatCase{"0.333333333333333", 0.333333333333333},
                      FloatCase{"6.66666666666667E-7", 6.66666666666667e-7},
                      FloatCase{"123456789012345", 123456789012345.0},
                      FloatCase{"9007199254740993", 9007199254740992.0},
                      FloatCase{"2.2250738585072011e-308", 2.2250738585072011e-308},
                      FloatCase{"1.7976931348623157E308", 1.7976931348623157e308},
                      FloatCase{std::string(400, '0') + "1.25", 1.25},
                      FloatCase{"0." + std::string(400, '0') + "1E402", 10.0},
                      FloatCase{"1" + std::string(30, '0'), 1e30}));

// Values outside the range of a double read as 0.0, so no infinity reaches the drawing.
INSTANTIATE_TEST_SUITE_P(OutOfRange, TextToFloatTest,
                         ::testing::Values(FloatCase{"1E400", 0.0}, FloatCase{"-1E400", 0.0},
                                           FloatCase{"1.8E308", 0.0}, FloatCase{"1E-400", 0.0},
                                           FloatCase{"1" + std::string(400, '0'), 0.0},
                                           FloatCase{"1E99999999999999999999", 0.0},
                                           FloatCase{"1E-99999999999999999999", 0.0}));

TEST(TextToFloatSign, NegativeZeroKeepsItsSign) { EXPECT_TRUE(std::signbit(TextToFloat("-0"))); }

struct BoolCase {
  std::string text;
  bool expected;
};
void PrintTo(const BoolCase& c, std::ostream* os) { *os << Shown(c.text); }

class TextToBoolTest : public ::testing::TestWithParam<BoolCase> {};

TEST_P(TextToBoolTest, ReadsTheTrueWords) { EXPECT_EQ(TextToBool(GetParam().text), GetParam().expected) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    Words, TextToBoolTest,
    ::testing::Values(BoolCase{"T", true}, BoolCase{"tr", true}, BoolCase{"Tru", true}, BoolCase{"TrUe", true},
                      BoolCase{"1", true}, BoolCase{"ON", true}, BoolCase{"On", true}, BoolCase{"t r u e", true},
                      BoolCase{" 1\r\n", true}, BoolCase{kFwSpace + kFwOne + kFwSpace, true},
                      BoolCase{kCircle, true}, BoolCase{kShin, true}, BoolCase{kSei, true},
                      BoolCase{"", false}, BoolCase{"0", false}, BoolCase{"YES", false}, BoolCase{"Y", false},
                      BoolCase{"-1", false}, BoolCase{"F", false}, BoolCase{"TRUEX", false},
                      BoolCase{"OFF", false}, BoolCase{"11", false}, BoolCase{kShin + kSei, false},
                      BoolCase{"\x82\x74", false},  // full-width "Ｔ" is not ASCII T
                      BoolCase{"\x90", false}));

TEST(BoolToTextTest, WritesOneAndZero) {
  EXPECT_EQ(BoolToText(true), "1");
  EXPECT_EQ(BoolToText(false), "0");
  EXPECT_TRUE(TextToBool(BoolToText(true)));
  EXPECT_FALSE(TextToBool(BoolToText(false)));
}

struct TextCase {
  std::string text;
  std::string expected;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << Shown(c.text); }

class RemoveBlanksTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RemoveBlanksTest, DropsBlanksKeepsCharactersWhole) { EXPECT_EQ(RemoveBlanks(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveBlanksTest,
    ::testing::Values(TextCase{"", ""}, TextCase{"  " + kFwSpace + " " + kFwSpace, ""},
                      TextCase{kFwA + kFwSpace + kFwB, kFwA + kFwB}, TextCase{"a\tb\r\nc", "abc"},
                      TextCase{" a b ", "ab"}, TextCase{std::string("a\0b", 3), "ab"},
                      TextCase{"\x7F\xA0\xB1\xDF\xFE\xFF", "\x7F\xA0\xB1\xDF\xFE\xFF"},
                      // A trail byte 0x20 or 0x40 is part of its character, never a blank.
                      TextCase{"\x81\x20", "\x81\x20"}, TextCase{"\x83\x40" + kFwSpace, "\x83\x40"},
                      // A full-width space's bytes shifted by one are not a full-width space.
                      TextCase{"\x82\x81\x40", "\x82\x81\x40"},
                      TextCase{"ab\x81", "ab\x81"}, TextCase{"\x81", "\x81"}));

class UpperCaseSjisTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(UpperCaseSjisTest, UpperCasesOnlySingleByteLetters) { EXPECT_EQ(UpperCaseSjis(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Cases, UpperCaseSjisTest,
                         ::testing::Values(TextCase{"abz", "ABZ"}, TextCase{"aZ1{`", "AZ1{`"},
                                           // Trail bytes 0x61..0x7A ("a".."z") stay as they are.
                                           TextCase{"\x82\x61" "a\x83\x7A", "\x82\x61" "A\x83\x7A"},
                                           TextCase{"\xE0\x61z", "\xE0\x61Z"}, TextCase{"a\x81", "A\x81"},
                                           TextCase{"\xB1" "a", "\xB1" "A"}));

struct SplitCase {
  std::string name;
  std::string text;
  std::vector<std::string> items;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << Shown(c.text); }

class SplitCommaTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommaTextTest, SplitsIntoItems) {
  const SplitCase& c = GetParam();
  std::vector<std::string> dest(8, "unused");
  const int count = SplitCommaText(c.text, dest.data(), dest.size());
  ASSERT_EQ(count, static_cast<int>(c.items.size()));
  for (std::size_t i = 0; i < c.items.size(); ++i) EXPECT_EQ(dest[i], c.items[i]) << "item " << i;
  for (std::size_t i = c.items.size(); i < dest.size(); ++i) EXPECT_EQ(dest[i], "unused") << "slot " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommaTextTest,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"OnlyBlanks", " \t\r\n", {}},
        SplitCase{"TwoCommasMakeAnEmptyItem", "1,,2", {"1", "", "2"}},
        SplitCase{"Blanks", "1  2\t3", {"1", "2", "3"}}, SplitCase{"CommaAndBlanks", " 1 , 2 ,  3", {"1", "2", "3"}},
        SplitCase{"TrailingComma", "1,2,", {"1", "2", ""}}, SplitCase{"LeadingComma", ",1", {"", "1"}},
        SplitCase{"CommaThenBlankAtEnd", "1, ", {"1"}}, SplitCase{"CommaAlone", ",", {"", ""}},
        SplitCase{"QuotedComma", "\"a,b\",c", {"a,b", "c"}},
        SplitCase{"QuotedBlanks", "\"a b\" c", {"a b", "c"}},
        SplitCase{"DoubledQuote", "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        SplitCase{"EmptyQuoted", "\"\",x", {"", "x"}},
        SplitCase{"UnclosedQuoteTakesTheRest", "\"a, b", {"a, b"}},
        SplitCase{"TextAfterClosingQuote", "\"a\"b,c", {"a", "b", "c"}},
        SplitCase{"QuoteInsideWord", "a\"b c", {"a\"b", "c"}},
        SplitCase{"ControlBytesAreBlanks", std::string("1\x01" "2\x1F" "3", 5), {"1", "2", "3"}},
        SplitCase{"NulEndsNoItem", std::string("1\0" "2", 3), {std::string("1\0" "2", 3)}},
        SplitCase{"DoubleByteWhole", kSo + "," + kPo + " " + kKe, {kSo, kPo, kKe}},
        // 0x81 0x2C is an (invalid) pair; the walk keeps it whole, so its
        // second byte is no comma.
        SplitCase{"PairHidesComma", "\x81,a,b", {"\x81,a", "b"}},
        SplitCase{"QuotedPairHidesQuote", "\"\x81\"a\",b", {"\x81\"a", "b"}},
        SplitCase{"LeadByteAtEnd", "a,\x81", {"a", "\x81"}},
        SplitCase{"FullWidthSpaceIsNoBlank", kFwSpace + "1", {kFwSpace + "1"}},
        SplitCase{"JwfLayerWidths", "-1 -1 25 30000 -2", {"-1", "-1", "25", "30000", "-2"}}),
    [](const auto& row) { return row.param.name; });

TEST(SplitCommaTextCapacity, NeverWritesPastTheLastSlot) {
  std::vector<std::string> dest(4, "guard");
  EXPECT_EQ(SplitCommaText("a,b,c,d,e,f", dest.data(), 3), 6);
  EXPECT_EQ(dest[0], "a");
  EXPECT_EQ(dest[2], "c");
  EXPECT_EQ(dest[3], "guard");
  EXPECT_EQ(SplitCommaText("a b", nullptr, 0), 2);
}

TEST(SplitCommaTextCapacity, ManyItemsCountAll) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += std::to_string(i) + ",";
  std::vector<std::string> dest(100);
  EXPECT_EQ(SplitCommaText(text, dest.data(), dest.size()), 1001);
  EXPECT_EQ(dest[99], "99");
}

struct DistanceCase {
  double x1, y1, x2, y2;
  double expected;
};
void PrintTo(const DistanceCase& c, std::ostream* os) {
  *os << "(" << c.x1 << "," << c.y1 << ")-(" << c.x2 << "," << c.y2 << ")";
}

class PointDistanceTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(PointDistanceTest, Euclidean) {
  const DistanceCase& c = GetParam();
  EXPECT_EQ(PointDistance(c.x1, c.y1, c.x2, c.y2), c.expected);
  EXPECT_EQ(PointDistance(c.x2, c.y2, c.x1, c.y1), c.expected);
}

constexpr double kMax = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(Cases, PointDistanceTest,
                         ::testing::Values(DistanceCase{0, 0, 3, 4, 5}, DistanceCase{1, 1, 1, 1, 0},
                                           DistanceCase{-1, -1, 2, 3, 5}, DistanceCase{0, 0, 0, -7.5, 7.5},
                                           // Squares beyond the double range still give the distance.
                                           DistanceCase{0, 0, std::ldexp(3.0, 1000), std::ldexp(4.0, 1000), std::ldexp(5.0, 1000)},
                                           DistanceCase{-kMax / 2, 0, kMax / 2, 0, kMax},
                                           // Squares below the smallest double still give the distance.
                                           DistanceCase{0, 0, std::ldexp(3.0, -1000), std::ldexp(4.0, -1000), std::ldexp(5.0, -1000)}));

}  // namespace

TEST(PrintableExcerpt, ShowsAnyBytesSafelyAndCharactersWhole) {
  const struct {
    std::string_view text;
    std::size_t max;
    const char* expected;
  } rows[] = {
      {"hq", 40, "hq"},
      {"", 40, ""},
      {"a\tb\x7F", 40, "a\\x09b\\x7F"},
      // 図面: the trail bytes 0x7D and 0xCA, the first of which looks like '}'
      {"\x90\x7D\x96\xCA", 40, "\\x90\\x7D\\x96\\xCA"},
      {"abcdef", 3, "abc..."},
      {std::string_view("\0z", 2), 40, "\\x00z"},
  };
  for (const auto& r : rows) EXPECT_EQ(PrintableExcerpt(r.text, r.max), r.expected) << r.expected;
}
