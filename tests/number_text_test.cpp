// Number text, integer text and hex digit text of the answer.
#include "exchange/write/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "util/text.h"

namespace {

struct NumberCase {
  double value;
  const char* text;
};

class NumberTextTable : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTable, WritesTheExpectedText) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(NumberText(c.value), c.text) << "value " << c.value;
  EXPECT_EQ(NumberTextByPrecision(c.value), c.text) << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextTable,
    ::testing::Values(
        NumberCase{2.0, "2"}, NumberCase{3.0, "3"}, NumberCase{0.5, "0.5"}, NumberCase{-0.5, "-0.5"},
        NumberCase{-12.25, "-12.25"}, NumberCase{0.0, "0"}, NumberCase{-0.0, "0"},
        NumberCase{100.0, "100"}, NumberCase{50.5, "50.5"}, NumberCase{123.456, "123.456"},
        // Switch points between plain and exponent notation.
        NumberCase{0.0001, "0.0001"}, NumberCase{0.00012, "0.00012"}, NumberCase{0.00001, "1E-5"},
        NumberCase{0.000099999, "9.9999E-5"}, NumberCase{1e14, "100000000000000"},
        NumberCase{999999999999999.0, "999999999999999"}, NumberCase{1e15, "1E15"},
        NumberCase{-1e15, "-1E15"}, NumberCase{1.5e20, "1.5E20"}, NumberCase{1e100, "1E100"},
        NumberCase{1.25e-10, "1.25E-10"},
        // Rounding to 15 significant digits, also across a switch point.
        NumberCase{1.0 / 3.0, "0.333333333333333"}, NumberCase{2.0 / 3.0 * 1e-6, "6.66666666666667E-7"},
        NumberCase{0.1 + 0.2, "0.3"}, NumberCase{999999999999999.9, "1E15"},
        NumberCase{0.00009999999999999999, "0.0001"}, NumberCase{123456789012345678.0, "1.23456789012346E17"},
        NumberCase{-2.0 / 3.0, "-0.666666666666667"}, NumberCase{100000000000000.5, "100000000000000"},
        NumberCase{100000000000001.5, "100000000000002"}, NumberCase{0.000123456789012345678, "0.000123456789012346"}, NumberCase{1234.56789012345678, "1234.56789012346"},
        // Extremes: the largest double and a subnormal.
        NumberCase{std::numeric_limits<double>::max(), "1.79769313486232E308"},
        NumberCase{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        NumberCase{-std::numeric_limits<double>::denorm_min(), "-4.94065645841247E-324"},
        // Never produced by the reader, but given a defined text.
        NumberCase{std::numeric_limits<double>::infinity(), "0"},
        NumberCase{-std::numeric_limits<double>::infinity(), "0"},
        NumberCase{std::numeric_limits<double>::quiet_NaN(), "0"}));

// The shortest-form shortcut must agree with the 15-digit precision path, and
// the text must read back to a value that prints the same.
void CheckAgainstPrecision(double v) {
  const std::string fast = NumberText(v);
  ASSERT_EQ(fast, NumberTextByPrecision(v)) << std::hexfloat << v;
  ASSERT_EQ(NumberText(TextToFloat(fast)), fast) << std::hexfloat << v;
}

TEST(NumberTextRandom, AnyFiniteBitPatternAgreesWithThePrecisionPath) {
  std::mt19937_64 rng(20261208);
  int checked = 0;
  while (checked < 300000) {
    const double v = std::bit_cast<double>(rng());
    if (!std::isfinite(v)) continue;
    CheckAgainstPrecision(v);
    ++checked;
  }
}

TEST(NumberTextRandom, DrawingLikeValuesAgreeWithThePrecisionPath) {
  // Coordinates as the host writes them: a few to 17 significant digits over
  // the range of drawing sizes, plus values computed by arithmetic.
  std::mt19937_64 rng(905);
  std::uniform_int_distribution<int> digits(1, 17);
  std::uniform_int_distribution<int> scale(-12, 16);
  for (int i = 0; i < 200000; ++i) {
    const int n = digits(rng);
    const auto mantissa = static_cast<double>(rng() % static_cast<std::uint64_t>(std::pow(10.0, n)));
    const double v = mantissa * std::pow(10.0, scale(rng) - n) * ((rng() & 1) ? -1.0 : 1.0);
    CheckAgainstPrecision(v);
    CheckAgainstPrecision(v / 3.0);
    CheckAgainstPrecision(std::sqrt(std::fabs(v)));
  }
}

TEST(NumberTextRandom, SubnormalsAgreeWithThePrecisionPath) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const double v = std::bit_cast<double>(rng() & 0x000FFFFFFFFFFFFFull);
    CheckAgainstPrecision(v);
  }
}

struct IntCase {
  int32_t value;
  const char* dec;
  const char* hex;
};

class IntTextTable : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTextTable, WritesDecimalAndHexDigits) {
  const IntCase& c = GetParam();
  EXPECT_EQ(IntText(c.value), c.dec);
  EXPECT_EQ(HexText(c.value), c.hex);
}

INSTANTIATE_TEST_SUITE_P(Values, IntTextTable,
                         ::testing::Values(IntCase{0, "0", "0"}, IntCase{9, "9", "9"}, IntCase{10, "10", "A"},
                                           IntCase{15, "15", "F"}, IntCase{16, "16", "10"},
                                           IntCase{-1, "-1", "-1"}, IntCase{30000, "30000", "7530"},
                                           IntCase{INT32_MAX, "2147483647", "7FFFFFFF"},
                                           IntCase{INT32_MIN, "-2147483648", "-80000000"}));

}  // namespace
