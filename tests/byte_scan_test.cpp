// The sixteen-byte masks of the reader's scans give what the byte rule gives,
// whichever way the build computes them.
#include "exchange/read/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The masks built byte by byte: the rule itself, for any machine.
TJwwByteMasks ByteMasksByRule(const char* p) {
  TJwwByteMasks m;
  for (unsigned k = 0; k < 16; ++k) {
    const auto b = static_cast<unsigned char>(p[k]);
    if (b < 0x20 || b > 0x7E || b == '"' || b == '=') m.special |= 1u << k;
    if (b != ' ') m.nonBlank |= 1u << k;
  }
  return m;
}

// Bit k set when byte k is an LF or a CR, byte by byte.
std::uint32_t LineBreakMaskByRule(const char* p) {
  std::uint32_t m = 0;
  for (unsigned k = 0; k < 16; ++k) {
    if (p[k] == '\n' || p[k] == '\r') m |= 1u << k;
  }
  return m;
}

void ExpectSameMasks(const std::string& bytes) {
  ASSERT_EQ(bytes.size(), 16u);
  const TJwwByteMasks fast = JwwByteMasks(bytes.data());
  const TJwwByteMasks rule = ByteMasksByRule(bytes.data());
  EXPECT_EQ(fast.special, rule.special) << testing::PrintToString(bytes);
  EXPECT_EQ(fast.nonBlank, rule.nonBlank) << testing::PrintToString(bytes);
  EXPECT_EQ(JwwLineBreakMask(bytes.data()), LineBreakMaskByRule(bytes.data())) << testing::PrintToString(bytes);
}

// Every byte value at every position, among blanks and among digits: signed
// and unsigned edges (0x1F/0x20, 0x7E/0x7F, 0x80, 0xFF) included.
TEST(ByteMasks, EveryByteAtEveryPositionMatchesTheRule) {
  for (const char fill : {' ', '5'}) {
    for (int b = 0; b < 256; ++b) {
      for (std::size_t k = 0; k < 16; ++k) {
        std::string bytes(16, fill);
        bytes[k] = static_cast<char>(b);
        ExpectSameMasks(bytes);
      }
    }
  }
}

TEST(ByteMasks, RuleMarksTheBytesItNames) {
  const std::string bytes = std::string("a \t\"=\x7E\x7F\r\n", 9) + std::string("\x80\xFF\x1F!0 ", 6) + '\0';
  const TJwwByteMasks m = ByteMasksByRule(bytes.data());
  EXPECT_EQ(m.special, 0b1000'1111'1101'1100u);
  EXPECT_EQ(m.nonBlank, 0xBFFDu);  // all but the two blanks
  EXPECT_EQ(LineBreakMaskByRule(bytes.data()), 0b1'1000'0000u);
}

TEST(ByteMasks, RandomBytesMatchTheRule) {
  std::mt19937 rng(16);
  for (int n = 0; n < 100000 && !HasFailure(); ++n) {
    std::string bytes(16, ' ');
    for (char& c : bytes) c = static_cast<char>(rng() % 4 == 0 ? rng() % 256 : 0x20 + rng() % 0x60);
    ExpectSameMasks(bytes);
  }
}

}  // namespace
