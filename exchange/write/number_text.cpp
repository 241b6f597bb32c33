// Number text, integer text and hex digit text: exact and independent of the
// user's locale. Whole numbers go through std::to_chars, values with up to four
// decimals through integer digits, the plain range through exact scaling by
// powers of ten, and the rest through std::to_chars' shortest and 15-digit forms.
#include "exchange/write/number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A positive value as `count` significant digits d1 d2 ... (the last not a
// zero; the rest of the array is filled with zeros) and the exponent x of its
// scientific form d1.d2d3... × 10^x.
struct TDecimal {
  char digits[32];
  int count = 0;
  int exp = 0;
};

// Reads the output of to_chars in scientific form ("d[.ddd]e±XX").
void ParseScientific(const char* first, const char* last, TDecimal& dec) {
  dec.count = 0;
  const char* p = first;
  for (; p != last && *p != 'e'; ++p) {
    if (*p != '.') dec.digits[dec.count++] = *p;
  }
  while (dec.count > 1 && dec.digits[dec.count - 1] == '0') --dec.count;
  std::memset(dec.digits + dec.count, '0', sizeof dec.digits - static_cast<std::size_t>(dec.count));
  int exp = 0;
  bool negative = false;
  if (p != last) ++p;  // 'e'
  if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
  for (; p != last; ++p) exp = exp * 10 + (*p - '0');
  dec.exp = negative ? -exp : exp;
}

void RoundByPrecision(double magnitude, TDecimal& dec) {
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
  ParseScientific(buf, r.ptr, dec);
}

// The shortest round-trip form of a normal double is its 15-digit rounding
// whenever it has at most 15 digits; longer forms and subnormals take the
// slower precision path.
void RoundTo15(double magnitude, TDecimal& dec) {
  if (magnitude < std::numeric_limits<double>::min()) {
    RoundByPrecision(magnitude, dec);
    return;
  }
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
  ParseScientific(buf, r.ptr, dec);
  if (dec.count > 15) RoundByPrecision(magnitude, dec);
}

char* Format(char* out, bool negative, const TDecimal& dec) {
  if (negative) *out++ = '-';
  const int x = dec.exp;
  if (x >= -4 && x <= 14) {
    if (x < 0) {
      *out++ = '0';
      *out++ = '.';
      for (int i = -1; i > x; --i) *out++ = '0';
      std::memcpy(out, dec.digits, static_cast<std::size_t>(dec.count));
      return out + dec.count;
    }
    // Fixed-size copies: the digits are padded with zeros to 16 and the
    // output has room for them, so only the end pointer depends on the value.
    const int intDigits = x + 1;
    std::memcpy(out, dec.digits, 16);
    out += intDigits;
    if (dec.count > intDigits) {
      *out = '.';
      std::memcpy(out + 1, dec.digits + intDigits, 16);
      out += 1 + dec.count - intDigits;
    }
    return out;
  }
  *out++ = dec.digits[0];
  if (dec.count > 1) {
    *out++ = '.';
    const auto rest = static_cast<std::size_t>(dec.count - 1);
    std::memcpy(out, dec.digits + 1, rest);
    out += rest;
  }
  *out++ = 'E';
  return std::to_chars(out, out + 8, x).ptr;
}

// Exact powers of ten, 10^0 .. 10^22 (every one is a double).
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "00" .. "99": two digits per division on the hot path.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void PutPair(char* out, uint32_t v) {
  out[0] = kDigitPairs[v * 2];
  out[1] = kDigitPairs[v * 2 + 1];
}

void Put4(char* out, uint32_t v) {
  PutPair(out, v / 100);
  PutPair(out + 2, v % 100);
}

// Writes the 15 digits of v < 10^15, leading zeros included, in independent
// groups of four so that the divisions do not wait on one another.
void Put15Digits(char* out, uint64_t v) {
  const uint64_t high = v / 100000000;  // the first 7 digits
  const auto low = static_cast<uint32_t>(v - high * 100000000);
  const auto high32 = static_cast<uint32_t>(high);
  const uint32_t first3 = high32 / 10000;
  out[0] = static_cast<char>('0' + first3 / 100);
  PutPair(out + 1, first3 % 100);
  Put4(out + 3, high32 % 10000);
  Put4(out + 7, low / 10000);
  Put4(out + 11, low % 10000);
}

// The 15-digit rounding of a magnitude in [1E-4, 1E15), found by scaling it
// into [1E14, 1E15) with an exact power of ten and rounding the product to a
// whole number of 15 digits. The product carries one rounding error of at
// most half a unit in its last place, and half-integers are whole multiples of
// that unit there, so rounding the product gives the rounding of the exact
// value unless the product is itself a half-integer: only then, and for a
// scale out of range, the result is false.
bool RoundScaled(double magnitude, TDecimal& dec) {
  // The binary exponent, read from the bits: magnitude is normal here.
  const int binaryExp = static_cast<int>((std::bit_cast<uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
  int e = (binaryExp * 1233) >> 12;  // floor(log10), or one less
  if (e < -4) e = -4;
  if (e > 14) e = 14;
  double p = magnitude * kPow10[14 - e];
  if (p >= 1e15) {
    if (e == 14) return false;
    ++e;
    p = magnitude * kPow10[14 - e];
  } else if (p < 1e14) {
    if (e == -4) return false;
    --e;
    p = magnitude * kPow10[14 - e];
  }
  if (p < 1e14 || p >= 1e15) return false;
  const auto whole = static_cast<uint64_t>(p);
  const double fraction = p - static_cast<double>(whole);
  if (fraction == 0.5) return false;
  uint64_t m = whole + (fraction > 0.5 ? 1 : 0);
  if (m == 1000000000000000) {
    m = 100000000000000;
    ++e;
  }
  Put15Digits(dec.digits, m);
  std::memset(dec.digits + 15, '0', sizeof dec.digits - 15);
  dec.count = 15;
  while (dec.count > 1 && dec.digits[dec.count - 1] == '0') --dec.count;
  dec.exp = e;
  return true;
}

// True for a whole number in [0, 10^15). A round trip through a 64-bit
// integer is exact in that range and needs no rounding instruction, which
// std::trunc does not have on the baseline x86-64 target.
bool IsWholeBelow1e15(double v) {
  return v >= 0 && v < 1e15 && static_cast<double>(static_cast<int64_t>(v)) == v;
}

// Values with at most four digits after the point (9377.5, 0.25, 1234.0625)
// are most of a drawing's coordinates that are not whole. When the product
// p = magnitude * 10^4 is a whole number N below 10^15, N * 10^-4 is the
// 15-digit rounding of the value: the product's one rounding error is at most
// 2^-53 of N, far inside half a step of the 15-digit grid, and N has at most
// 15 digits, so it lies on that grid. Writes the text and returns its end, or
// null when the value is not of this kind. N >= 1 puts the value at 0.0001 or
// more, so the plain form is always the right one.
char* PutFourDecimals(char* out, bool negative, double magnitude) {
  const double p = magnitude * 1e4;
  if (!IsWholeBelow1e15(p)) return nullptr;
  const auto n = static_cast<uint64_t>(p);
  const uint64_t whole = n / 10000;
  auto fraction = static_cast<uint32_t>(n - whole * 10000);
  if (negative) *out++ = '-';
  out = std::to_chars(out, out + 16, whole).ptr;
  if (fraction == 0) return out;
  *out = '.';
  Put4(out + 1, fraction);
  // The last written digit is the last one that is not zero.
  int length = 4;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --length;
  }
  return out + 1 + length;
}

// Values outside the plain range (the host writes such as 6.74301687447386E-14)
// whose shortest round-trip form has at most 15 digits: that form is their
// 15-digit rounding (RoundTo15), with the same exponent, so its digits go out
// as std::to_chars writes them and only the exponent is rewritten ("e-05" as
// "E-5", "e+20" as "E20"). Null for any other value, which the general path
// then writes.
char* PutShortestExponent(char* out, bool negative, double magnitude) {
  if (magnitude < std::numeric_limits<double>::min()) return nullptr;
  char buf[40];
  const char* const end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific).ptr;
  const char* e = buf;
  while (e != end && *e != 'e') ++e;
  // "d" or "d.ddd": its digits are its length, less the point.
  const auto mantissa = static_cast<std::size_t>(e - buf);
  if (e == end || mantissa - (mantissa > 1 ? 1 : 0) > 15) return nullptr;
  const char* p = e + 1;
  const bool below = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  int exp = 0;
  for (; p != end; ++p) exp = exp * 10 + (*p - '0');
  if (below) exp = -exp;
  if (exp >= -4 && exp <= 14) return nullptr;
  if (negative) *out++ = '-';
  std::memcpy(out, buf, mantissa);
  out += mantissa;
  *out++ = 'E';
  return std::to_chars(out, out + 8, exp).ptr;
}

}  // namespace

char* PutNumberText(char* out, double value) {
  if (value == 0.0 || !std::isfinite(value)) {
    *out = '0';
    return out + 1;
  }
  const double magnitude = std::fabs(value);
  // Whole numbers below 1E15 are the common case in drawings and print exactly
  // as integers.
  if (IsWholeBelow1e15(magnitude)) {
    return std::to_chars(out, out + kNumberTextMax, static_cast<int64_t>(value)).ptr;
  }
  if (char* end = PutFourDecimals(out, value < 0, magnitude)) return end;
  TDecimal dec;
  if (!(magnitude >= 1e-4 && magnitude < 1e15 && RoundScaled(magnitude, dec))) {
    if (char* end = PutShortestExponent(out, value < 0, magnitude)) return end;
    RoundTo15(magnitude, dec);
  }
  return Format(out, value < 0, dec);
}

char* PutIntText(char* out, int32_t value) { return std::to_chars(out, out + 11, value).ptr; }

char* PutHexText(char* out, int32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (value >= 0 && value < 16) {
    *out = kDigits[value];
    return out + 1;
  }
  char* end = std::to_chars(out, out + 9, value, 16).ptr;
  for (char* p = out; p != end; ++p) {
    if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
  }
  return end;
}

std::string NumberText(double value) {
  char buf[kNumberTextMax];
  return std::string(buf, PutNumberText(buf, value));
}

std::string IntText(int32_t value) {
  char buf[12];
  return std::string(buf, PutIntText(buf, value));
}

std::string HexText(int32_t value) {
  char buf[12];
  return std::string(buf, PutHexText(buf, value));
}

std::string NumberTextByPrecision(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  TDecimal dec;
  RoundByPrecision(std::fabs(value), dec);
  char buf[kNumberTextMax];
  return std::string(buf, Format(buf, value < 0, dec));
}

bool IsFinalNumberText(std::string_view text) {
  constexpr std::size_t kMaxSignificant = 15;
  constexpr std::size_t kMaxLeadingFractionZeros = 3;  // 0.0001 is the smallest plain text
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p != end && *p == '-') ++p;
  const char* const whole = p;
  while (p != end && *p >= '0' && *p <= '9') ++p;
  const auto wholeDigits = static_cast<std::size_t>(p - whole);
  if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0')) return false;
  const bool belowOne = *whole == '0';
  std::size_t significant = belowOne ? 0 : wholeDigits;
  if (p == end) {
    // "0" is final; "-0" is not (zero is written without a sign).
    return belowOne ? text.size() == 1 : significant <= kMaxSignificant;
  }
  if (*p != '.') return false;
  const char* const fraction = ++p;
  while (p != end && *p >= '0' && *p <= '9') ++p;
  if (p != end || p == fraction || p[-1] == '0') return false;
  const auto fractionDigits = static_cast<std::size_t>(p - fraction);
  if (belowOne) {
    std::size_t zeros = 0;
    while (fraction[zeros] == '0') ++zeros;  // stops at the last digit, which is not 0
    if (zeros > kMaxLeadingFractionZeros) return false;
    significant = fractionDigits - zeros;
  } else {
    significant += fractionDigits;
  }
  return significant <= kMaxSignificant;
}
