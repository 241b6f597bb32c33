// The commonest line of a drawing, four numbers ("x1 y1 x2 y2"), read where
// it lies without the general split.
#include "exchange/read/line_rules.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "util/plain_decimal.h"
#include "util/text.h"

namespace {

constexpr std::size_t kFields = 4;

// What a byte is to a four-number line: a byte of number text, a blank or
// tab between fields, or a byte that leaves the line to the general split.
enum NumberLineByte : unsigned char { kOtherByte, kNumberByte, kBlankByte };

constexpr std::array<NumberLineByte, 256> MakeNumberLineBytes() {
  std::array<NumberLineByte, 256> t{};
  for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = kNumberByte;
  for (char c : {'.', '+', '-', 'e', 'E'}) t[static_cast<unsigned char>(c)] = kNumberByte;
  t[' '] = kBlankByte;
  t['\t'] = kBlankByte;
  return t;
}

constexpr std::array<NumberLineByte, 256> kNumberLineBytes = MakeNumberLineBytes();

}  // namespace

bool JwwReadPlainNumberLine(const char* line, std::size_t size, TJwwPlainNumbers& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  const char* const end = line + size;
  out.ownNumbers = 0;
  std::size_t i = 0;
  while (i < size && kNumberLineBytes[in[i]] == kBlankByte) ++i;
  // Written as the answer writes it: no blank first, single blanks between.
  bool asWritten = i == 0;
  for (std::size_t k = 0; k < kFields; ++k) {
    // An empty field here is a trailing blank, which the general split
    // counts as one more (empty) field, or a byte of its own rules.
    if (i == size || kNumberLineBytes[in[i]] != kNumberByte) return false;
    const char* stop = nullptr;
    bool own = false;
    out.value[k] = plain_decimal::ReadDecimalPrefix(line + i, end, &stop, &own);
    auto j = static_cast<std::size_t>(stop - line);
    if (j < size && kNumberLineBytes[in[j]] == kNumberByte) {
      // More than plain decimal text, such as an exponent: read whole.
      while (j < size && kNumberLineBytes[in[j]] == kNumberByte) ++j;
      out.value[k] = TextToFloat(std::string_view(line + i, j - i), &own);
    }
    if (own) out.ownNumbers = static_cast<std::uint16_t>(out.ownNumbers | (1u << k));
    i = j;
    if (i == size) {
      if (k + 1 != kFields) return false;
      break;
    }
    if (kNumberLineBytes[in[i]] != kBlankByte || k + 1 == kFields) return false;
    asWritten = asWritten && in[i] == ' ';
    ++i;
    asWritten = asWritten && (i == size || kNumberLineBytes[in[i]] != kBlankByte);
    while (i < size && kNumberLineBytes[in[i]] == kBlankByte) ++i;
  }
  out.asWritten = asWritten;
  return true;
}
