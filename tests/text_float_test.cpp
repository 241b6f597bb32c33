// The plain-decimal path of TextToFloat against std::from_chars: every text a
// drawing may hold must read as the correctly rounded double, whichever path
// takes it.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "util/text.h"

namespace {

// The reference: from_chars over the unsigned part, the sign applied after,
// and 0.0 for anything it does not read whole or that does not begin with a
// digit or a point (no "inf", "nan").
double ByFromChars(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) return 0.0;
  double value = 0.0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return 0.0;
  return negative ? -value : value;
}

// Same value and same sign (0.0 and -0.0 are told apart).
void ExpectSameDouble(std::string_view text) {
  const double got = TextToFloat(text);
  const double want = ByFromChars(text);
  EXPECT_EQ(got, want) << text;
  EXPECT_EQ(std::signbit(got), std::signbit(want)) << text;
}

// Digits, with a point somewhere among them (or none) and an optional sign.
std::string RandomDecimal(std::mt19937_64& rng, int maxDigits) {
  const int digits = std::uniform_int_distribution<int>(1, maxDigits)(rng);
  const int point = std::uniform_int_distribution<int>(-1, digits)(rng);  // -1: no point
  std::string text;
  if (rng() % 3 == 0) text.push_back('-');
  for (int i = 0; i < digits; ++i) {
    if (i == point) text.push_back('.');
    text.push_back(static_cast<char>('0' + rng() % 10));
  }
  if (point == digits) text.push_back('.');
  return text;
}

TEST(TextToFloatPlainDecimal, RandomDecimalsAgreeWithFromChars) {
  std::mt19937_64 rng(20261208);
  for (int i = 0; i < 200000; ++i) ExpectSameDouble(RandomDecimal(rng, 24));
}

TEST(TextToFloatPlainDecimal, ShortestFormsOfRandomDoublesReadBackExactly) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> coordinate(-1e5, 1e5);
  for (int i = 0; i < 100000; ++i) {
    const double v = coordinate(rng);
    // Whole, half and 15-digit values, as a drawing holds them.
    for (const double w : {v, std::round(v), std::round(v * 2) / 2}) {
      char buf[64];
      const auto r = std::to_chars(buf, buf + sizeof buf, w, std::chars_format::fixed);
      const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
      ASSERT_EQ(TextToFloat(text), w) << text;
    }
  }
}

// Where the plain path has to hand over: at 2^53, at 19 digits, at 22
// fraction digits, and when an exponent or a stray byte comes.
TEST(TextToFloatPlainDecimal, BoundariesOfTheExactCaseAgreeWithFromChars) {
  for (const std::string_view text :
       {"9007199254740992", "9007199254740993", "9007199254740995", "900719925474099.3", "9007199254740993.0",
        "0.9007199254740993", "1234567890123456789", "12345678901234567891", "0000000000000000001",
        "00000000000000000001", "0.1234567890123456789", "1.0000000000000000000000",
        "0.0000000000000000000001", "0.00000000000000000000001", "0.000000000000000000000001",
        "4503599627370497.5", "-0", "-0.0", "0.", ".5", "-.5", "5.", "1e5", "1.5E-3", ".", "-.", "1.2.3", "12a",
        "1 ", "+7.25", "0x1p3", "inf", "nan", "1e400", "-1e-400",
        // A stray byte among eight that would otherwise be read at once.
        "1234567:9", "1234567/9", "12345678:", "123.4567/89", "0.12345678e5", "1234\xB0" "5678", "12345678 "}) {
    ExpectSameDouble(text);
  }
}

}  // namespace
