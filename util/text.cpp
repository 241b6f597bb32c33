// Text and number helpers over Shift-JIS bytes. The readers here sit on the
// exchange-file reader's hot path, so they neither allocate nor touch a locale.
#include "util/text.h"

#include "util/plain_decimal.h"

using namespace plain_decimal;

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <system_error>

namespace {

// Blanks as the list splitter sees them: every control byte and the space.
bool IsListBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x01 && b <= 0x20;
}

// Skips 0x20 bytes only: a tab before a number makes it unreadable.
std::string_view SkipSpaces(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return text.substr(i);
}

// Reads an optional "+" or "-". True when it was "-".
bool TakeSign(std::string_view& text) {
  if (text.empty()) return false;
  if (text.front() == '-') {
    text.remove_prefix(1);
    return true;
  }
  if (text.front() == '+') text.remove_prefix(1);
  return false;
}

// Bytes of a whole-text number after its prefix: true and the value when every
// byte is a digit of `base` and the value fits `T`.
template <typename T>
bool ParseDigits(std::string_view digits, int base, T& value) {
  if (digits.empty()) return false;
  const char* end = digits.data() + digits.size();
  const auto result = std::from_chars(digits.data(), end, value, base);
  return result.ec == std::errc() && result.ptr == end;
}

int32_t ParseHex(std::string_view digits, bool negative) {
  // Leading zeros do not count towards the eight significant digits.
  std::size_t first = 0;
  while (first + 1 < digits.size() && digits[first] == '0') ++first;
  if (digits.size() - first > 8) return 0;
  uint32_t bits = 0;
  if (!ParseDigits(digits.substr(first), 16, bits)) return 0;
  // Negating in unsigned arithmetic: "-$80000000" wraps to itself instead of
  // overflowing a signed value.
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

// The two kanji and the symbols that read as true, besides the ASCII words
// (Shift-JIS: "１" full-width one, "○" circle, "真" true, "正" correct).
constexpr std::string_view kTrueSjis[] = {"\x82\x50", "\x81\x9B", "\x90\x5E", "\x90\xB3"};
constexpr std::string_view kTrueAscii[] = {"T", "TR", "TRU", "TRUE", "1", "ON"};

// Plain decimals ("123", "-45.678", ".5", "5.") whose digits make a whole
// number m up to 2^53 with at most 22 digits after the point: m and 10^k are
// then exact doubles, so the one division m / 10^k is correctly rounded and
// equals what from_chars gives. Anything else (an exponent, more digits) is
// false and left to from_chars. Most numbers of a drawing take this path.
bool ParsePlainDecimal(std::string_view text, double& value, bool negative, bool* ownText) {
  const char* const end = text.data() + text.size();
  const TPlainDecimal r = ScanPlainDecimal(text.data(), end);
  return r.stop == end && FinishPlainDecimal(text, r, value, negative, ownText);
}

}  // namespace

int32_t TextToInt(std::string_view text) {
  text = SkipSpaces(text);
  const bool negative = TakeSign(text);
  if (text.empty()) return 0;

  if (text.front() == '$' || text.front() == 'x' || text.front() == 'X') return ParseHex(text.substr(1), negative);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHex(text.substr(2), negative);
  }

  // The magnitude of -2147483648 does not fit int32, so read it unsigned and
  // check the bound for each sign.
  uint64_t magnitude = 0;
  if (!ParseDigits(text, 10, magnitude)) return 0;
  if (negative) {
    if (magnitude > 2147483648u) return 0;
    return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  }
  if (magnitude > 2147483647u) return 0;
  return static_cast<int32_t>(magnitude);
}

double TextToFloat(std::string_view text, bool* ownNumberText) {
  if (ownNumberText != nullptr) *ownNumberText = false;
  const std::size_t size = text.size();
  text = SkipSpaces(text);
  const bool negative = TakeSign(text);
  // from_chars would also take "inf", "nan" and a second "-"; a digit or a
  // point must come first.
  if (text.empty() || (!IsDigit(text.front()) && text.front() != '.')) return 0.0;

  double value = 0.0;
  // Only "-" may stand before the digits of text that is its own number text.
  bool* const own = text.size() + (negative ? 1 : 0) == size ? ownNumberText : nullptr;
  if (ParsePlainDecimal(text, value, negative, own)) return negative ? -value : value;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
  // A value beyond the range of a double reads as unreadable (0.0), so no
  // infinity ever enters the drawing; one below the smallest double is 0.0 anyway.
  if (result.ec != std::errc() || result.ptr != end) return 0.0;
  return negative ? -value : value;
}

double TextToFloatPrefix(const char* p, const char* end, const char** stop, bool* ownNumberText) {
  return ReadDecimalPrefix(p, end, stop, ownNumberText);
}

bool TextToBool(std::string_view text) {
  const std::string word = UpperCaseSjis(RemoveBlanks(text));
  for (std::string_view t : kTrueAscii) {
    if (word == t) return true;
  }
  for (std::string_view t : kTrueSjis) {
    if (word == t) return true;
  }
  return false;
}

std::string BoolToText(bool value) { return value ? "1" : "0"; }

std::string RemoveBlanks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsSjisLeadByte(b) && i + 1 < text.size()) {
      // "　" (full-width space) is 81 40.
      if (!(b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40)) result.append(text.substr(i, 2));
      ++i;
      continue;
    }
    if (IsSjisLeadByte(b) || b > 0x20) result.push_back(text[i]);
  }
  return result;
}

int SplitCommaText(std::string_view text, std::string* dest, std::size_t capacity) {
  std::size_t count = 0;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && IsListBlank(text[i])) ++i;
  };
  // Moves over one character: two bytes for a lead byte with a byte after it.
  auto step = [&](std::size_t at) {
    return IsSjisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < n ? 2u : 1u;
  };

  try {
    std::string item;
    auto store = [&] {
      if (count < capacity) dest[count] = item;
      ++count;
    };
    skipBlanks();
    while (i < n) {
      item.clear();
      if (text[i] == '"') {
        ++i;
        // Up to the closing quote; a doubled quote stands for one. An
        // unclosed quote takes the rest of the text.
        while (i < n) {
          if (text[i] == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              item.push_back('"');
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          const std::size_t len = step(i);
          item.append(text.substr(i, len));
          i += len;
        }
      } else {
        const std::size_t start = i;
        while (i < n && text[i] != ',' && !IsListBlank(text[i])) i += step(i);
        item.assign(text.substr(start, i - start));
      }
      store();
      skipBlanks();
      if (i < n && text[i] == ',') {
        if (i + 1 == n) {
          item.clear();
          store();
        }
        ++i;
        skipBlanks();
      }
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  // The count is bounded by the text's length; only a text beyond 2 GiB could
  // exceed int, and then the items kept are still correct.
  return count > 2147483647u ? 2147483647 : static_cast<int>(count);
}

double PointDistance(double x1, double y1, double x2, double y2) {
  // In long double, the differences and their squares cannot overflow for any
  // finite coordinates (x87 extended range on the targets we build for).
  const long double dx = static_cast<long double>(x2) - static_cast<long double>(x1);
  const long double dy = static_cast<long double>(y2) - static_cast<long double>(y1);
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

std::string UpperCaseSjis(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const auto b = static_cast<unsigned char>(result[i]);
    if (IsSjisLeadByte(b)) {
      ++i;  // the trail byte may look like a..z and must stay as it is
      continue;
    }
    if (b >= 'a' && b <= 'z') result[i] = static_cast<char>(b - 'a' + 'A');
  }
  return result;
}

std::string PrintableExcerpt(std::string_view text, std::size_t maxBytes) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  bool trail = false;  // the byte after a lead byte belongs to its character, even when it looks like ASCII
  for (std::size_t i = 0; i < text.size() && i < maxBytes; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && !trail) {
      out += static_cast<char>(c);
      continue;
    }
    trail = !trail && IsSjisLeadByte(c);
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  if (text.size() > maxBytes) out += "...";
  return out;
}
