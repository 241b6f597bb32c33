// A number field read from a padded buffer: taken only when it is plain
// decimal text of at most 15 digits, and then read to the bit, with the
// final-form verdict, as TextToFloat reads it, whatever bytes lie around it.
#include "util/padded_decimal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "util/text.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The field placed in a buffer after `before` (the padding's last bytes)
// and followed by `after`, as a line puts a field between its neighbours.
struct PaddedField {
  std::string bytes;
  std::size_t at = 0;
  PaddedField(const std::string& field, char before, char after) {
    bytes = std::string(padded_decimal::kPadBefore + 8, before) + field + std::string(32, after);
    at = padded_decimal::kPadBefore + 8;
  }
  const char* data() const { return bytes.data() + at; }
};

// Reads the field with each kind of neighbour; returns whether it was taken.
bool ExpectAsTextToFloat(const std::string& field) {
  bool wantOwn = false;
  const double want = TextToFloat(field, &wantOwn);
  bool taken = false;
  // Digits around the field must not leak into it, nor NULs, blanks or high
  // bytes stop it short: every neighbour gives what the first gives.
  bool first = true;
  for (const char neighbour : {'9', '\0', ' ', '\xFF', '.', '-'}) {
    const PaddedField p(field, neighbour, neighbour);
    double value = 0.0;
    bool own = false;
    const bool read = padded_decimal::ReadPaddedField(p.data(), field.size(), value, own);
    if (!first) {
      EXPECT_EQ(read, taken) << "[" << field << "] neighbour " << int(neighbour);
    }
    first = false;
    taken = read;
    if (!read) continue;
    EXPECT_TRUE(SameBits(value, want)) << "[" << field << "] " << value << " " << want;
    EXPECT_EQ(own, wantOwn) << "[" << field << "]";
  }
  return taken;
}

struct FieldCase {
  const char* name;
  std::string text;
  bool taken;  // read in the padded buffer rather than left to TextToFloat
};

class PaddedDecimalField : public testing::TestWithParam<FieldCase> {};

TEST_P(PaddedDecimalField, ReadsAsTextToFloat) { EXPECT_EQ(ExpectAsTextToFloat(GetParam().text), GetParam().taken); }

INSTANTIATE_TEST_SUITE_P(
    Fields, PaddedDecimalField,
    testing::Values(FieldCase{"Whole", "1234", true}, FieldCase{"Typical", "-34449.7973976898", true},
                    FieldCase{"SixteenBytes", "34449.7973976898", true},
                    FieldCase{"SeventeenBytesNegative", "-9498.44441417702", true},
                    FieldCase{"SeventeenBytesPointFirst", ".123456789012345", true},
                    FieldCase{"SeventeenBytesDigitFirst", "1.23456789012345", true},
                    FieldCase{"FifteenDigitsNoPoint", "-123456789012345", true},
                    FieldCase{"SixteenDigits", "1234567890.123456", false},
                    FieldCase{"SixteenDigitsWhole", "9007199254740993", false},
                    FieldCase{"EighteenBytes", "-1234567890.123456", false},
                    FieldCase{"TwentyDigits", "12345678901234567890", false}, FieldCase{"One", "7", true},
                    FieldCase{"Zero", "0", true}, FieldCase{"MinusZero", "-0", true},
                    FieldCase{"MinusZeroPoint", "-0.0", true}, FieldCase{"ZeroPoint", "0.", true},
                    FieldCase{"PointFive", ".5", true}, FieldCase{"MinusPointFive", "-.5", true},
                    FieldCase{"FivePoint", "5.", true}, FieldCase{"Minus", "-", false},
                    FieldCase{"Point", ".", false}, FieldCase{"MinusPoint", "-.", false},
                    FieldCase{"LeadingZeros", "007.5", true}, FieldCase{"TrailingZero", "7.50", true},
                    FieldCase{"SmallestPlain", "0.0001", true}, FieldCase{"BelowPlain", "-0.00009", true},
                    FieldCase{"FourteenFractionDigits", "0.00000000000001", true},
                    FieldCase{"SixteenDigitsFromZero", "0.000000000000001", false},
                    FieldCase{"TwoPoints", "1.2.3", false}, FieldCase{"TwoMinuses", "--4", false},
                    FieldCase{"MinusInside", "1-2", false}, FieldCase{"MinusLast", "5-", false},
                    FieldCase{"Plus", "+5", false}, FieldCase{"Exponent", "1e5", false},
                    FieldCase{"Blank", "1 2", false}, FieldCase{"Tab", "\t1", false},
                    FieldCase{"HighByte", "1\xB9", false}, FieldCase{"Slash", "1/2", false},
                    FieldCase{"Colon", "1:2", false}),
    [](const testing::TestParamInfo<FieldCase>& p) { return std::string(p.param.name); });

// Random plain decimal text and near misses, in lengths around the 16 bytes
// read at once.
TEST(PaddedDecimalFieldRandom, ReadsAsTextToFloat) {
  std::mt19937_64 rng(1209);
  const std::string stray = "-.+e/:x 9";
  std::size_t taken = 0;
  const int kFields = 300000;
  for (int n = 0; n < kFields; ++n) {
    std::string f = rng() % 2 == 0 ? "-" : "";
    const std::size_t whole = rng() % 18;
    for (std::size_t i = 0; i < whole; ++i) {
      f.push_back(static_cast<char>('0' + (i == 0 && rng() % 4 != 0 ? 1 + rng() % 9 : rng() % 10)));
    }
    if (rng() % 4 != 0) {
      f.push_back('.');
      const std::size_t fraction = rng() % 18;
      for (std::size_t i = 0; i < fraction; ++i) f.push_back(static_cast<char>('0' + rng() % 10));
    }
    if (rng() % 16 == 0 && !f.empty()) f[rng() % f.size()] = stray[rng() % stray.size()];
    if (f.empty()) continue;
    if (ExpectAsTextToFloat(f)) ++taken;
    if (HasFailure()) break;
  }
  EXPECT_GT(taken, std::size_t{kFields / 3});
}

// A keyword line's field, of any bytes the split leaves, read as TextToFloat
// reads it, from the field's own bytes only (the sanitizers see a copy of
// exactly its size).
void ExpectFieldAsTextToFloat(const std::string& text) {
  const std::vector<char> bytes(text.begin(), text.end());
  const std::string_view field(bytes.data(), bytes.size());
  bool own = false;
  const double value = padded_decimal::ReadNumberField(field, own);
  bool wantOwn = false;
  const double want = TextToFloat(field, &wantOwn);
  EXPECT_TRUE(SameBits(value, want)) << "[" << text << "] " << value << " " << want;
  EXPECT_EQ(own, wantOwn) << "[" << text << "]";
}

class PaddedDecimalNumberField : public testing::TestWithParam<FieldCase> {};

TEST_P(PaddedDecimalNumberField, ReadsAsTextToFloat) { ExpectFieldAsTextToFloat(GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Fields, PaddedDecimalNumberField,
    testing::Values(FieldCase{"Empty", "", false}, FieldCase{"One", "5", true}, FieldCase{"Two", "-5", true},
                    FieldCase{"Three", "0.5", true}, FieldCase{"Seven", "-0.0625", true},
                    FieldCase{"Eight", "-34449.5", true}, FieldCase{"Fifteen", "-34449.79739768", true},
                    FieldCase{"Sixteen", "34449.7973976898", true}, FieldCase{"Seventeen", "-34449.7973976898", true},
                    FieldCase{"Eighteen", "-34449.79739768981", false},
                    FieldCase{"Long", "123456789012345678901234567890", false},
                    FieldCase{"Exponent", "-6.56818316593086E-14", false}, FieldCase{"Hex", "$1F", false},
                    FieldCase{"Text", "abc", false}, FieldCase{"LeadByte", "\x82\x50", false},
                    FieldCase{"Plus", "+12.5", false}, FieldCase{"Equals", "x=1", false}),
    [](const testing::TestParamInfo<FieldCase>& p) { return std::string(p.param.name); });

TEST(PaddedDecimalNumberFieldRandom, ReadsAsTextToFloat) {
  std::mt19937_64 rng(4242);
  const std::string alphabet = "0123456789012345678901234567890123456789..--+eE$x=\x82";
  for (int n = 0; n < 200000; ++n) {
    std::string text;
    const std::size_t len = rng() % 22;
    for (std::size_t i = 0; i < len; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
    ExpectFieldAsTextToFloat(text);
    if (HasFailure()) break;
  }
}

// The digits joined around the point in one register read as one at a time.
TEST(PaddedDecimalDigits, JoinedAsReadOneAtATime) {
  std::mt19937_64 rng(77);
  for (int n = 0; n < 100000; ++n) {
    const std::size_t digits = 1 + rng() % padded_decimal::kMaxDigits;
    const std::size_t fraction = rng() % 2 == 0 ? 0 : rng() % (digits + 1);
    std::string field;
    for (std::size_t i = 0; i < digits - fraction; ++i) field.push_back(static_cast<char>('0' + rng() % 10));
    if (fraction > 0 || rng() % 2 == 0) field.push_back('.');
    for (std::size_t i = 0; i < fraction; ++i) field.push_back(static_cast<char>('0' + rng() % 10));
    const PaddedField p(field, '7', '7');
    const char* const end = p.data() + field.size();
    const char* const point = field.back() == '.' || fraction > 0 ? end - fraction - 1 : end;
    ASSERT_EQ(padded_decimal::DigitsValue(end, point, fraction, digits),
              padded_decimal::DigitsValueBytewise(end, point, fraction, digits))
        << field;
  }
}

}  // namespace
