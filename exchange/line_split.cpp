// The field split of exchange-file lines, done in place over the caller's bytes.
#include "exchange/line_split.h"

#include <array>
#include <bit>
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

// The high bit of every byte of v that is zero. Borrows only run towards
// higher bytes, so the lowest bit set always marks the first zero byte.
constexpr std::uint64_t ZeroBytes(std::uint64_t v) { return (v - kOnes) & ~v & kHighBits; }

// The high bit of (at least) the first byte of eight that is not 0x21..0x7E or
// is a quote or "=": bytes ordinary whether splitting is on or off are plain.
// Zero when all eight are plain.
std::uint64_t NotPlainBytes(const unsigned char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  const std::uint64_t below = (v - kOnes * 0x21) & ~v & kHighBits;  // bytes < 0x21
  const std::uint64_t above = ((v + kOnes) | v) & kHighBits;         // bytes > 0x7E
  return below | above | ZeroBytes(v ^ (kOnes * '"')) | ZeroBytes(v ^ (kOnes * '='));
}

// Where the run of plain bytes from j ends, found eight bytes at a time;
// numeric lines are made of little else. Past the last whole eight bytes (or
// on a big-endian machine, where the first byte is the highest) it stops
// early and the byte-wise scan goes on.
std::size_t SkipPlain(const unsigned char* in, std::size_t j, std::size_t size) {
  while (size - j >= 8) {
    const std::uint64_t notPlain = NotPlainBytes(in + j);
    if (notPlain == 0) {
      j += 8;
      continue;
    }
    if constexpr (std::endian::native == std::endian::little) j += static_cast<std::size_t>(std::countr_zero(notPlain)) / 8;
    break;
  }
  return j;
}

}  // namespace

void JwwSplitFields(char* line, std::size_t size, TJwwFields& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  const std::array<ByteClass, 256>* classes = &kSplitOn;
  std::size_t cur = 0;    // index of the current field
  std::size_t start = 0;  // where the current field begins in `line`
  std::size_t w = 0;      // write position; never past the read position
  bool curEmpty = true;   // also tracked for fields past the kept ones
  std::size_t exact = TJwwFields::kMaxFields + 1;  // fields before the first byte that is not taken as it stands

  const auto keep = [&](std::size_t from, std::size_t n) {
    if (cur < TJwwFields::kMaxFields) {
      if (w != from) std::memmove(line + w, line + from, n);
      w += n;
    }
    curEmpty = false;
  };
  const auto close = [&]() {
    if (cur < TJwwFields::kMaxFields) out.field[cur] = {line + start, w - start};
  };

  std::size_t i = 0;
  while (i < size) {
    std::size_t j = i;
    j = SkipPlain(in, j, size);
    while (j < size && (*classes)[in[j]] == kOrdinary) ++j;
    if (j > i) {
      keep(i, j - i);
      i = j;
      if (i == size) break;
    }
    const ByteClass byteClass = (*classes)[in[i]];
    if (byteClass != kBlank && exact > cur) exact = cur;
    switch (byteClass) {
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
  out.exact = exact < out.count ? exact : out.count;
  out.ownNumbers = 0;
}
