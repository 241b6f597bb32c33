// TextToFloatPrefix reads the leading plain decimal text of a field: where it
// stops, and for the bytes before that the value (to the bit) and final-form
// verdict TextToFloat gives them.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>

#include "util/text.h"

namespace {

struct PrefixCase {
  const char* name;
  std::string text;
  std::size_t read;  // bytes before the stop
};

void ExpectAsTextToFloat(const std::string& text, std::size_t read) {
  const char* stop = nullptr;
  bool own = true;
  const double value = TextToFloatPrefix(text.data(), text.data() + text.size(), &stop, &own);
  ASSERT_EQ(static_cast<std::size_t>(stop - text.data()), read) << "[" << text << "]";
  bool wantOwn = false;
  const double want = TextToFloat(text.substr(0, read), &wantOwn);
  EXPECT_EQ(std::memcmp(&value, &want, sizeof value), 0) << "[" << text << "] " << value << " " << want;
  EXPECT_EQ(own, wantOwn) << "[" << text << "]";
}

class TextToFloatPrefixTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(TextToFloatPrefixTest, StopsAndReadsAsTextToFloat) { ExpectAsTextToFloat(GetParam().text, GetParam().read); }

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToFloatPrefixTest,
    testing::Values(PrefixCase{"Whole", "1234", 4}, PrefixCase{"Negative", "-858.98628722091", 16},
                    PrefixCase{"StopsAtBlank", "12.5 7", 4}, PrefixCase{"StopsAtExponent", "-6.5E-14", 4},
                    PrefixCase{"StopsAtPlus", "+5", 0}, PrefixCase{"MinusAlone", "-", 1},
                    PrefixCase{"MinusPoint", "-.", 2}, PrefixCase{"PointAlone", ".", 1},
                    PrefixCase{"MinusZero", "-0", 2}, PrefixCase{"MinusZeroPoint", "-0.0", 4},
                    PrefixCase{"LeadingZero", "007.5", 5}, PrefixCase{"TrailingZero", "7.50", 4},
                    PrefixCase{"SecondPoint", "1.2.3", 3}, PrefixCase{"SecondMinus", "--4", 1},
                    PrefixCase{"FifteenDigits", "-9498.44441417702", 17},
                    PrefixCase{"SixteenDigits", "9498.444414177021", 17},
                    PrefixCase{"BeyondExactWhole", "9007199254740993", 16},
                    PrefixCase{"TwentyDigits", "12345678901234567890.5", 22},
                    PrefixCase{"TwentyThreeFractionDigits", "0.00000000000000000000001", 25},
                    PrefixCase{"SmallestPlain", "0.0001", 6}, PrefixCase{"BelowPlain", "0.00009", 7},
                    PrefixCase{"Empty", "", 0}, PrefixCase{"Tab", "\t1", 0}),
    [](const testing::TestParamInfo<PrefixCase>& p) { return std::string(p.param.name); });

// Random digit strings with a sign, a point and a tail, in lengths around the
// eight-byte steps of the digit reader.
TEST(TextToFloatPrefixRandom, ReadsAsTextToFloat) {
  std::mt19937_64 rng(11);
  const std::string tails[] = {"", " 1", "E5", "e-3", "+", "x", ".", "-"};
  for (int n = 0; n < 200000; ++n) {
    std::string text = rng() % 2 == 0 ? "-" : "";
    const std::size_t whole = rng() % 20;
    for (std::size_t i = 0; i < whole; ++i) {
      text.push_back(static_cast<char>('0' + (i == 0 && rng() % 4 != 0 ? 1 + rng() % 9 : rng() % 10)));
    }
    if (rng() % 3 != 0) {
      text.push_back('.');
      const std::size_t fraction = rng() % 26;
      for (std::size_t i = 0; i < fraction; ++i) text.push_back(static_cast<char>('0' + rng() % 10));
    }
    const std::size_t read = text.size();
    const std::string& tail = tails[rng() % std::size(tails)];
    // A point after digits without one would still be read, and so would a
    // minus at the start.
    if ((tail != "." || text.find('.') != std::string::npos) && (tail != "-" || !text.empty())) text += tail;
    ExpectAsTextToFloat(text, read);
  }
}

// The digit reader takes eight bytes at once and finds the first that is not
// a digit by arithmetic on the whole word: every byte value must stop it, at
// every place in the word, whatever bytes follow (high bytes, control bytes,
// bytes next to the digits in the code table), and the digits before it must
// read as from_chars reads them.
TEST(TextToFloatPrefixStops, EveryByteValueStopsTheDigitsWhereverItFalls) {
  const std::string followers[] = {"99999999", std::string(8, '\xFF'), std::string(8, '\0'), "/:/:/:/:"};
  for (int stopByte = 0; stopByte < 256; ++stopByte) {
    const char c = static_cast<char>(stopByte);
    if (c >= '0' && c <= '9') continue;
    for (std::size_t digits = 1; digits <= 17; ++digits) {
      for (const std::string& after : followers) {
        std::string text = "7";
        for (std::size_t i = 1; i < digits; ++i) text.push_back(static_cast<char>('0' + (i * 7 + digits) % 10));
        const std::string number = text;
        text.push_back(c);
        text += after;
        const char* stop = nullptr;
        bool own = false;
        const double value = TextToFloatPrefix(text.data(), text.data() + text.size(), &stop, &own);
        // A point after the digits is read on (and what follows it, when digits).
        if (c == '.') continue;
        ASSERT_EQ(static_cast<std::size_t>(stop - text.data()), digits) << "byte " << stopByte << ", " << digits;
        double want = 0;
        std::from_chars(number.data(), number.data() + number.size(), want);
        ASSERT_EQ(value, want) << "byte " << stopByte << ", " << digits;
        EXPECT_EQ(own, digits <= 15) << "byte " << stopByte << ", " << digits;
      }
    }
  }
}

}  // namespace
