// The field split of exchange-file lines, done in place over the caller's bytes.
#include "exchange/line_split.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "util/text.h"

namespace {

// What a byte does to the split. Ordinary bytes are copied in runs.
enum ByteClass : unsigned char { kOrdinary, kLead, kQuote, kEquals, kBlank, kDrop };

// One table while splitting is on, one once a quote or "=" has switched it
// off (blanks, quotes and "=" are then ordinary; a tab is a control byte).
constexpr std::array<ByteClass, 256> MakeClasses(bool splitting) {
  std::array<ByteClass, 256> t{};
  for (int b = 0; b < 256; ++b) {
    const auto u = static_cast<unsigned char>(b);
    if (IsSjisLeadByte(u)) {
      t[u] = kLead;
    } else if (u < 0x20 || u > 0xFD) {
      t[u] = kDrop;
    } else {
      t[u] = kOrdinary;
    }
  }
  if (splitting) {
    t['"'] = kQuote;
    t['='] = kEquals;
    t[' '] = kBlank;
    t['\t'] = kBlank;
  }
  return t;
}

constexpr std::array<ByteClass, 256> kSplitOn = MakeClasses(true);
constexpr std::array<ByteClass, 256> kSplitOff = MakeClasses(false);

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// True when some byte of v is zero (exact: no false answer either way).
constexpr bool HasZeroByte(std::uint64_t v) { return ((v - kOnes) & ~v & kHighBits) != 0; }

// True when all eight bytes are 0x21..0x7E and none is a quote or "=": bytes
// that are ordinary whether splitting is on or off. Numeric lines are made of
// little else, so most of a line is passed over eight bytes at a time.
bool AllPlainAscii(const unsigned char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  const bool below = ((v - kOnes * 0x21) & ~v & kHighBits) != 0;  // some byte < 0x21
  const bool above = (((v + kOnes) | v) & kHighBits) != 0;       // some byte > 0x7E
  return !below && !above && !HasZeroByte(v ^ (kOnes * '"')) && !HasZeroByte(v ^ (kOnes * '='));
}

}  // namespace

void JwwSplitFields(char* line, std::size_t size, TJwwFields& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  const std::array<ByteClass, 256>* classes = &kSplitOn;
  std::size_t cur = 0;    // index of the current field
  std::size_t start = 0;  // where the current field begins in `line`
  std::size_t w = 0;      // write position; never past the read position
  bool curEmpty = true;   // also tracked for fields past the kept ones

  const auto keep = [&](std::size_t from, std::size_t n) {
    if (cur < TJwwFields::kMaxFields) {
      if (w != from) std::memmove(line + w, line + from, n);
      w += n;
    }
    curEmpty = false;
  };
  const auto close = [&]() {
    if (cur < TJwwFields::kMaxFields) out.field[cur] = std::string_view(line + start, w - start);
  };

  std::size_t i = 0;
  while (i < size) {
    std::size_t j = i;
    while (size - j >= 8 && AllPlainAscii(in + j)) j += 8;
    while (j < size && (*classes)[in[j]] == kOrdinary) ++j;
    if (j > i) {
      keep(i, j - i);
      i = j;
      if (i == size) break;
    }
    switch ((*classes)[in[i]]) {
      case kLead:
        if (i + 1 >= size) {  // a lead byte without its partner is dropped
          i = size;
          break;
        }
        keep(i, 2);
        i += 2;
        break;
      case kQuote:
        classes = &kSplitOff;
        ++i;
        break;
      case kEquals:
        keep(i, 1);
        classes = &kSplitOff;
        ++i;
        break;
      case kBlank:
        if (!curEmpty) {
          close();
          ++cur;
          curEmpty = true;
        }
        ++i;
        // Fields need not lie packed together: the next one begins where it
        // is read, so its bytes are not moved unless some are dropped.
        if (cur < TJwwFields::kMaxFields) w = i;
        start = w;
        break;
      default:  // kDrop
        ++i;
        break;
    }
  }
  close();
  out.count = cur + 1;
}
