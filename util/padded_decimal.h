// Reading a number field whose length is known and whose bytes lie in a
// buffer that may be read some way before and after them: its digits become
// one whole number with a few loads and no byte-at-a-time step. The readers of
// four-number lines and of keyword fields copy their text into such a buffer.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/plain_decimal.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace padded_decimal {

// Bytes before a field's first byte that ReadPaddedField may read.
inline constexpr std::size_t kPadBefore = 16;
// The most digits read at once; longer numbers are left to TextToFloat. Up
// to 15 digits the whole number is below 10^15, so it is exact as a double
// and its text may be final.
inline constexpr std::size_t kMaxDigits = 15;
// The longest field that can hold them: a "-", the digits and a point.
inline constexpr std::size_t kMaxFieldBytes = kMaxDigits + 2;

// The value of the n digits (n <= 16) that end at `end`, skipping the point
// at `point` (`point == end` when there is none, with `fraction` = 0); the
// `fraction` digits after the point are the last ones. Reads only bytes
// within the field or the caller's padding, one byte at a time: the
// reference and the fallback where SSE2 is missing.
inline std::uint64_t DigitsValueBytewise(const char* end, const char* point, std::size_t fraction, std::size_t n) {
  std::uint64_t m = 0;
  const std::size_t whole = n - fraction;
  for (const char* p = point - whole; p != point; ++p) m = m * 10 + static_cast<std::uint64_t>(*p - '0');
  for (const char* p = end - fraction; p != end; ++p) m = m * 10 + static_cast<std::uint64_t>(*p - '0');
  return m;
}

#if defined(__SSE2__)
// 16 bytes of 0, then 16 of 0xFF: 16 bytes loaded from kRamp + k are 0xFF in
// their last k. kLowRamp the same with 0x0F, the bits of a digit's value.
alignas(16) inline constexpr unsigned char kRamp[32] = {0,    0,    0,    0,    0,    0,    0,    0,
                                                        0,    0,    0,    0,    0,    0,    0,    0,
                                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
alignas(16) inline constexpr unsigned char kLowRamp[32] = {0,    0,    0,    0,    0,    0,    0,    0,
                                                           0,    0,    0,    0,    0,    0,    0,    0,
                                                           0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F,
                                                           0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F};

inline __m128i LoadSixteen(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

// DigitsValueBytewise in one register: the fraction's bytes are the last
// sixteen of the field, the whole digits sixteen loaded so that they end
// just before the fraction's place; joined, cut to the n digits and summed
// by pairs, fours and eights. Reads the 16 bytes before `end` and before
// `point + fraction`.
inline std::uint64_t DigitsValue(const char* end, const char* point, std::size_t fraction, std::size_t n) {
  const __m128i fractionBytes = LoadSixteen(end - 16);
  const __m128i wholeBytes = LoadSixteen(point + fraction - 16);
  const __m128i takeFraction = LoadSixteen(kRamp + fraction);
  const __m128i joined =
      _mm_xor_si128(wholeBytes, _mm_and_si128(takeFraction, _mm_xor_si128(wholeBytes, fractionBytes)));
  const __m128i d = _mm_and_si128(joined, LoadSixteen(kLowRamp + n));
  // Lanes in text order, the first the most significant: weights 10 and 1,
  // then 100 and 1, then 10000 and 1 on neighbouring lanes.
  const __m128i zero = _mm_setzero_si128();
  const __m128i tens = _mm_set1_epi32(0x0001000A);
  const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(d, zero), tens),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(d, zero), tens));
  const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010064));
  const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(0x00012710));
  const auto high = static_cast<std::uint32_t>(_mm_cvtsi128_si32(eights));
  const auto low = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(eights, 4)));
  return std::uint64_t{high} * 100000000 + low;
}
#else
inline std::uint64_t DigitsValue(const char* end, const char* point, std::size_t fraction, std::size_t n) {
  return DigitsValueBytewise(end, point, fraction, n);
}
#endif

// Bit i set when p[i] is not "0".."9", for the 16 bytes at p.
inline std::uint32_t NonDigitBits16(const char* p) {
#if defined(__SSE2__)
  // Unsigned "at most 9": a byte equals its minimum with the bound.
  const __m128i d = _mm_sub_epi8(LoadSixteen(p), _mm_set1_epi8('0'));
  const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
  return static_cast<std::uint32_t>(_mm_movemask_epi8(isDigit)) ^ 0xFFFF;
#else
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 16; ++i) {
    if (!plain_decimal::IsDigit(p[i])) bits |= std::uint32_t{1} << i;
  }
  return bits;
#endif
}

// Reads the field s[0..size) (1 <= size <= 63) when it is plain decimal text
// ("-", digits, one ".", digits; at least one digit, at most 15): true, with
// the value and final-form verdict TextToFloat gives. False for anything
// else, which the caller reads with TextToFloat. `nonDigits` has bit i set
// when s[i] is not "0".."9", and no bit at or past `size`; the 16 bytes
// before s + size must be readable.
[[gnu::always_inline]] inline bool ReadPlainField(const char* s, std::size_t size, std::uint64_t nonDigits,
                                                  double& value, bool& own) {
  const bool negative = s[0] == '-';
  nonDigits &= ~std::uint64_t{negative};
  // At most one other byte, the point.
  if ((nonDigits & (nonDigits - 1)) != 0) return false;
  const auto point = static_cast<std::size_t>(std::countr_zero(nonDigits | std::uint64_t{1} << size));
  const bool hasPoint = point != size;
  if (hasPoint && s[point] != '.') return false;
  const std::size_t first = negative ? 1 : 0;
  const std::size_t fraction = size - point - (hasPoint ? 1 : 0);
  const std::size_t n = size - first - (hasPoint ? 1 : 0);
  if (n - 1 >= kMaxDigits) return false;
  const std::uint64_t m = DigitsValue(s + size, s + point, fraction, n);
  // Below 10^15: the signed conversion is exact and needs no branch, and the
  // division correctly rounded.
  const double magnitude = static_cast<double>(static_cast<std::int64_t>(m)) / plain_decimal::kPow10[fraction];
  value = negative ? -magnitude : magnitude;
  // IsOwnNumberText, its commonest answers first: after a point the last
  // byte is a digit other than "0", and a first "0" needs a closer look.
  const char last = s[size - 1];
  own = point != first && !(hasPoint && (last == '.' || last == '0')) &&
        (s[first] != '0' ||
         plain_decimal::IsOwnNumberText(std::string_view(s + first, size - first), m, point - first, fraction,
                                        negative));
  return true;
}

// ReadPlainField for a field of at most 17 bytes, its digits found here.
[[gnu::always_inline]] inline bool ReadPaddedField(const char* s, std::size_t size, double& value, bool& own) {
  static_assert(kMaxFieldBytes == 17, "the last 16 bytes and one before them");
  if (size - 1 >= kMaxFieldBytes) return false;
  // The last 16 bytes are looked at together; a 17th before them counts as
  // no digit, which is all that ReadPlainField takes there anyway.
  const std::uint64_t last = NonDigitBits16(s + size - 16);
  const std::uint64_t nonDigits = (last << 1 | 1) >> (kMaxFieldBytes - size);
  return ReadPlainField(s, size, nonDigits, value, own);
}

// Copies 16 bytes in one move.
inline void CopySixteen(char* to, const char* from) {
#if defined(__SSE2__)
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), LoadSixteen(from));
#else
  std::memcpy(to, from, 16);
#endif
}

// Copies `size` bytes (1..32) from `from` to `to` with a few fixed-size
// moves, which may write up to 32 bytes at `to` but read only the bytes given.
inline void CopyShort(char* to, const char* from, std::size_t size) {
  if (size >= 16) {
    std::memcpy(to, from, 16);
    std::memcpy(to + size - 16, from + size - 16, 16);
  } else if (size >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + size - 4, from + size - 4, 4);
  } else {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
}

// TextToFloat(field, &own), through ReadPaddedField when the field is short
// enough to copy into a padded buffer.
[[gnu::always_inline]] inline double ReadNumberField(std::string_view field, bool& own) {
  const std::size_t size = field.size();
  if (size - 1 < kMaxFieldBytes) {
    // Only the padding and the field itself are ever read.
    alignas(16) char buf[kPadBefore + 32];
    std::memset(buf, 0, kPadBefore);
    CopyShort(buf + kPadBefore, field.data(), size);
    double value = 0.0;
    if (ReadPaddedField(buf + kPadBefore, size, value, own)) return value;
  }
  return TextToFloat(field, &own);
}

}  // namespace padded_decimal
