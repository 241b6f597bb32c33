// Number text, integer text and hex digit text, built on std::to_chars so the
// answer is exact and independent of the user's locale.
#include "exchange/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A positive value as significant digits d1 d2 ... (no trailing zeros) and the
// exponent x of its scientific form d1.d2d3... × 10^x.
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
    const int intDigits = x + 1;
    for (int i = 0; i < intDigits; ++i) *out++ = i < dec.count ? dec.digits[i] : '0';
    if (dec.count > intDigits) {
      *out++ = '.';
      const auto rest = static_cast<std::size_t>(dec.count - intDigits);
      std::memcpy(out, dec.digits + intDigits, rest);
      out += rest;
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

// Significant digits of the shortest fixed form of a value that is not a whole
// number: every digit after the leading zeros. Such a form always has exactly
// one ".": a whole number below 2^53 that rounded to the value would be the
// value itself.
int SignificantDigits(const char* first, const char* last) {
  if (*first == '-') ++first;
  auto count = static_cast<int>(last - first) - 1;
  for (const char* p = first; p != last && (*p == '0' || *p == '.'); ++p) {
    if (*p == '0') --count;
  }
  return count;
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
  if (magnitude < 1e15 && std::trunc(magnitude) == magnitude) {
    return std::to_chars(out, out + kNumberTextMax, static_cast<int64_t>(value)).ptr;
  }
  // In the plain range the shortest fixed form is already the answer when it
  // has at most 15 significant digits: no trailing zeros, no exponent.
  if (magnitude >= 1e-4 && magnitude < 1e15) {
    char* end = std::to_chars(out, out + kNumberTextMax, value, std::chars_format::fixed).ptr;
    if (SignificantDigits(out, end) <= 15) return end;
  }
  TDecimal dec;
  RoundTo15(magnitude, dec);
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
