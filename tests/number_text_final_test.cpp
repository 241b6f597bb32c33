// Which texts are already their own number text: the quick rule against the
// definition (the number text of the value the text reads as equals the text),
// on edge cases and on millions of random strings shaped like numbers.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "exchange/write/number_text.h"
#include "util/text.h"

namespace {

bool ByDefinition(const std::string& text) { return NumberText(TextToFloat(text)) == text; }

// The rule takes plain notation only: "E" texts are rare in drawings and are
// formatted again, which gives the same bytes.
bool PlainAndByDefinition(const std::string& text) {
  return text.find('E') == std::string::npos && ByDefinition(text);
}

// Random strings: mostly numbers as the host writes them or nearly so (signs,
// leading and trailing zeros, long digit runs, tiny and huge magnitudes), some
// with exponents, blanks or stray bytes.
class NumberLikeStrings {
 public:
  explicit NumberLikeStrings(std::uint64_t seed) : rng_(seed) {}

  std::string Next() {
    std::string s;
    const unsigned sign = Pick(100);
    if (sign < 20) {
      s += '-';
    } else if (sign < 22) {
      s += '+';
    } else if (sign < 23) {
      s += ' ';
    }
    const unsigned wholeShape = Pick(10);
    if (wholeShape < 4) {
      s += '0';
      if (Pick(10) == 0) s += '0';
    } else if (wholeShape < 9) {
      Digits(s, 1 + Pick(17), Pick(20) != 0);
    }
    if (Pick(10) < 7) {
      s += '.';
      if (wholeShape < 4 && Pick(2) == 0) s.append(Pick(7), '0');
      Digits(s, Pick(18), false);
      if (Pick(8) == 0) s.append(1 + Pick(2), '0');
    }
    if (Pick(25) == 0) {
      s += Pick(2) ? 'E' : 'e';
      if (Pick(2)) s += '-';
      Digits(s, 1 + Pick(3), false);
    }
    if (Pick(50) == 0) s.insert(Pick(static_cast<unsigned>(s.size()) + 1), 1, "x ,\t0"[Pick(5)]);
    return s;
  }

 private:
  unsigned Pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }
  void Digits(std::string& s, unsigned count, bool noLeadingZero) {
    for (unsigned i = 0; i < count; ++i) {
      s += static_cast<char>('0' + ((i == 0 && noLeadingZero) ? 1 + Pick(9) : Pick(10)));
    }
  }
  std::mt19937_64 rng_;
};

// Fewer strings where every test runs slowly (sanitizers, Wine);
// T905_FINAL_FORM_STRINGS sets the count.
std::size_t StringCount() {
  if (const char* n = std::getenv("T905_FINAL_FORM_STRINGS"); n != nullptr && *n != '\0') {
    return static_cast<std::size_t>(std::strtoull(n, nullptr, 10));
  }
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
  return 200000;
#else
  return 4000000;
#endif
}

TEST(FinalNumberText, RuleEqualsTheDefinitionOnRandomNumberLikeStrings) {
  NumberLikeStrings strings(20261209);
  const std::size_t count = StringCount();
  std::size_t finals = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string s = strings.Next();
    const bool expected = PlainAndByDefinition(s);
    ASSERT_EQ(IsFinalNumberText(s), expected) << '"' << s << "\" reads as " << NumberText(TextToFloat(s));
    // The reader's verdict, given while it parses the number.
    bool own = false;
    const double value = TextToFloat(s, &own);
    ASSERT_EQ(own, expected) << '"' << s << '"';
    // Asking for the verdict does not change the value read.
    ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(TextToFloat(s))) << s;
    finals += expected;
  }
  // Both answers must be common, or the comparison proves little.
  EXPECT_GT(finals, count / 5);
  EXPECT_LT(finals, count - count / 5);
}

struct TFinalCase {
  const char* text;
  bool final;
};

class FinalNumberTextEdges : public ::testing::TestWithParam<TFinalCase> {};

TEST_P(FinalNumberTextEdges, AgreeWithTheDefinition) {
  const TFinalCase& c = GetParam();
  EXPECT_EQ(IsFinalNumberText(c.text), c.final) << c.text;
  EXPECT_EQ(PlainAndByDefinition(c.text), c.final) << c.text;
  bool own = false;
  TextToFloat(c.text, &own);
  EXPECT_EQ(own, c.final) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, FinalNumberTextEdges,
    ::testing::Values(TFinalCase{"0", true}, TFinalCase{"-0", false}, TFinalCase{"00", false},
                      TFinalCase{"", false}, TFinalCase{"-", false}, TFinalCase{"0.5", true},
                      TFinalCase{"-0.5", true}, TFinalCase{".5", false}, TFinalCase{"5.", false},
                      TFinalCase{"1.50", false}, TFinalCase{"+1", false}, TFinalCase{"01", false},
                      TFinalCase{"0.0001", true}, TFinalCase{"0.00001", false}, TFinalCase{"-0.0001", true},
                      TFinalCase{"999999999999999", true}, TFinalCase{"1000000000000000", false},
                      TFinalCase{"12345678901234.5", true}, TFinalCase{"1234567890123.456", false},
                      TFinalCase{"0.000123456789012345", true}, TFinalCase{"0.0001234567890123456", false},
                      TFinalCase{"1E5", false}, TFinalCase{"1E-5", false}, TFinalCase{"1 ", false}, TFinalCase{" 1", false},
                      TFinalCase{"100", true}, TFinalCase{"-100.25", true}, TFinalCase{"0.10", false}));

}  // namespace
