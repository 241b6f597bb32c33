// Reading plain decimal text ("123", "-45.678", ".5") into a double exactly,
// eight digits at a time: the steps shared by TextToFloat and the readers that
// cut fields themselves, inline because they run for nearly every number of a
// drawing. Use TextToFloat and TextToFloatPrefix (util/text.h) elsewhere.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "util/text.h"

namespace plain_decimal {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exact powers of ten, 10^0 .. 10^22 (every one is a double).
inline constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Exact powers of ten as whole numbers, 10^0 .. 10^8.
inline constexpr uint64_t kPow10Whole[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Eight bytes read at once from p. Used only where eight bytes of the text
// remain, so nothing past its end is read.
inline uint64_t LoadEight(const char* p) {
  uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline constexpr uint64_t kZeros = 0x3030303030303030;  // eight "0"

// The high bit of (at least) the first byte of v, in text order on a
// little-endian machine, that is not an ASCII digit; zero when all eight are.
// A byte below "0" borrows in v - "00000000", one above "9" carries into its
// high bit in v + 0x46 (or, from 0xBA up, already has it in the difference);
// borrows and carries run only towards later bytes, and digits make none, so
// the lowest bit set marks the first byte that is not a digit, exactly.
inline uint64_t NonDigitBytes(uint64_t v) {
  return ((v + 0x4646464646464646) | (v - kZeros)) & 0x8080808080808080;
}

// The value of eight digits given as the bytes 0..9 (the text minus
// "00000000"), the first byte the most significant digit.
inline uint64_t DigitBytesValue(uint64_t d) {
  constexpr uint64_t kMask = 0x000000FF000000FF;
  constexpr uint64_t kMul1 = 0x000F424000000064;  // 100 + (1000000 << 32)
  constexpr uint64_t kMul2 = 0x0000271000000001;  // 1 + (10000 << 32)
  d = (d * 10) + (d >> 8);  // pairs of digits
  return (((d & kMask) * kMul1) + (((d >> 16) & kMask) * kMul2)) >> 32;
}

// Adds the leading digits of `eight` (text bytes, the first in the low byte)
// to m; returns how many there were.
[[gnu::always_inline]] inline unsigned TakeDigitWord(uint64_t eight, uint64_t& m) {
  const uint64_t stops = NonDigitBytes(eight);
  const uint64_t digits = eight - kZeros;  // exact in the bytes before the first stop
  if (stops == 0) {
    m = m * kPow10Whole[8] + DigitBytesValue(digits);
    return 8;
  }
  const auto n = static_cast<unsigned>(std::countr_zero(stops)) / 8;
  if (n != 0) m = m * kPow10Whole[n] + DigitBytesValue(digits << (64 - 8 * n));
  return n;
}

// Adds the digits at p to m and returns the first byte that is not a digit.
// While eight bytes remain they are read at once (the first byte lowest);
// the last few of the text go one at a time.
// Inlined: called for the whole and the fraction digits of most numbers read.
[[gnu::always_inline]] inline const char* TakeDigits(const char* p, const char* end, uint64_t& value) {
  // A local copy: stores through the text's char pointer could alias `value`
  // and would keep it in memory.
  uint64_t m = value;
  while (end - p >= 8) {
    const unsigned n = TakeDigitWord(LoadEight(p), m);
    p += n;
    if (n != 8) {
      value = m;
      return p;
    }
  }
  while (p != end && IsDigit(*p)) m = m * 10 + static_cast<uint64_t>(*p++ - '0');
  value = m;
  return p;
}

// Whether plain decimal text, read by ParsePlainDecimal into the whole number
// m, is already the number text of its value: no leading zero, no trailing
// zero after the point, at most 15 significant digits (m < 10^15, as m holds
// no leading zeros), a magnitude of at least 0.0001, and zero only as "0".
inline bool IsOwnNumberText(std::string_view text, uint64_t m, std::size_t wholeDigits, std::size_t fractionDigits,
                     bool negative) {
  constexpr uint64_t kMaxSignificant = 1000000000000000;  // 10^15
  constexpr std::size_t kPlainFractionZeros = 4;          // 0.0001 is the smallest plain text
  const bool point = text.size() > wholeDigits;
  if (wholeDigits == 0 || m >= kMaxSignificant) return false;
  if (point && (fractionDigits == 0 || text.back() == '0')) return false;
  if (text.front() != '0') return true;
  if (wholeDigits > 1) return false;
  if (m == 0) return !negative && !point;
  if (fractionDigits <= kPlainFractionZeros) return true;
  uint64_t least = 1;  // m / 10^fractionDigits >= 10^-4
  for (std::size_t i = kPlainFractionZeros; i < fractionDigits; ++i) least *= 10;
  return m >= least;
}

// The digits of plain decimal text ("123", "45.678", ".5", "5.") read into
// one whole number, and where the reading stopped.
struct TPlainDecimal {
  uint64_t m = 0;
  std::size_t wholeDigits = 0;
  std::size_t fractionDigits = 0;
  const char* stop = nullptr;
};

// Digits past 19 may wrap m (unsigned, so defined); FinishPlainDecimal refuses them.
[[gnu::always_inline]] inline TPlainDecimal ScanPlainDecimal(const char* p, const char* end) {
  TPlainDecimal r;
  const char* const wholeStart = p;
  p = TakeDigits(p, end, r.m);
  r.wholeDigits = static_cast<std::size_t>(p - wholeStart);
  if (p != end && *p == '.') {
    const char* const fractionStart = ++p;
    p = TakeDigits(p, end, r.m);
    r.fractionDigits = static_cast<std::size_t>(p - fractionStart);
  }
  r.stop = p;
  return r;
}

// The value of the digits scanned from `text` (which they fill), when exact.
// Inlined: called for most numbers read.
[[gnu::always_inline]] inline bool FinishPlainDecimal(std::string_view text, const TPlainDecimal& r, double& value,
                                                      bool negative, bool* ownText) {
  constexpr uint64_t kExactLimit = uint64_t{1} << 53;
  constexpr std::size_t kMaxDigits = 19;  // 10^19 - 1 still fits 64 bits
  const std::size_t digits = r.wholeDigits + r.fractionDigits;
  if (digits == 0 || digits > kMaxDigits || r.m > kExactLimit) return false;
  if (r.fractionDigits >= std::size(kPow10)) return false;
  value = static_cast<double>(r.m) / kPow10[r.fractionDigits];
  if (ownText != nullptr) *ownText = IsOwnNumberText(text, r.m, r.wholeDigits, r.fractionDigits, negative);
  return true;
}

// TextToFloatPrefix (util/text.h), inline.
[[gnu::always_inline]] inline double ReadDecimalPrefix(const char* p, const char* end, const char** stop,
                                                       bool* ownNumberText) {
  const char* const start = p;
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  const TPlainDecimal r = ScanPlainDecimal(p, end);
  *stop = r.stop;
  // What TextToFloat does with these bytes, without reading the digits again:
  // they hold no blank and no sign after the "-", and if they are not plain
  // decimal text it gives the same answer from them.
  double value = 0.0;
  const std::string_view digits(p, static_cast<std::size_t>(r.stop - p));
  if (ownNumberText != nullptr) *ownNumberText = false;
  if (FinishPlainDecimal(digits, r, value, negative, ownNumberText)) return negative ? -value : value;
  return TextToFloat(std::string_view(start, static_cast<std::size_t>(r.stop - start)), ownNumberText);
}

}  // namespace plain_decimal
