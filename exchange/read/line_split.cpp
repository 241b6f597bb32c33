// The field split of exchange-file lines, done in place over the caller's bytes.
#include "exchange/read/line_split.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "exchange/read/byte_scan.h"
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

// Where the run of plain bytes from j ends, found eight bytes at a time
// (the first byte is the lowest: x86-64 and ARM64 are little-endian);
// numeric lines are made of little else. Past the last whole eight bytes it
// stops early and the byte-wise scan goes on.
std::size_t SkipPlain(const unsigned char* in, std::size_t j, std::size_t size) {
  while (size - j >= 8) {
    const std::uint64_t notPlain = NotPlainBytes(in + j);
    if (notPlain == 0) {
      j += 8;
      continue;
    }
    j += static_cast<std::size_t>(std::countr_zero(notPlain)) / 8;
    break;
  }
  return j;
}

// The masks of the last r (1..15) bytes of a line, in bits 0..r-1. A line of
// sixteen bytes or more has them read as the end of its last sixteen, so
// that no read leaves the line; a shorter one is copied out first.
[[gnu::always_inline]] inline TJwwByteMasks LineEndMasks(const char* line, std::size_t size, std::size_t r) {
  TJwwByteMasks m;
  if (size >= 16) {
    m = JwwByteMasks(line + size - 16);
    m.special >>= 16 - r;
    m.nonBlank >>= 16 - r;
    return m;
  }
  char copy[16] = {};
  std::memcpy(copy, line + size - r, r);
  m = JwwByteMasks(copy);
  const std::uint32_t kept = (1u << r) - 1;
  m.special &= kept;
  m.nonBlank &= kept;
  return m;
}

// How far the plain start of a line took the split.
struct TPlainPrefix {
  bool whole = false;     // the line is plain: `out` is complete
  std::size_t fields = 0; // else the fields found before `resume`, kept in `out`
  std::size_t resume = 0; // and where the byte-wise split goes on: a field's first byte
};

// Splits the line's plain start (blanks and bytes 0x21..0x7E but a quote
// and "="), 64 bytes at a time: a mask of the non-blank bytes, whose edges
// alternate between a field's first byte and the blank after its last.
// Stops at the first byte of any other kind, leaving the field that reaches
// it (or begins there) to the byte-wise split; no byte moves before that,
// so the fields found are where they were read.
[[gnu::always_inline]] inline TPlainPrefix SplitPlainPrefix(const char* line, std::size_t size, TJwwFields& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  std::size_t n = 0;
  const auto emit = [&](std::size_t from, std::size_t to) {
    if (n < TJwwFields::kMaxFields) out.field[n] = {line + from, to - from};
    ++n;
  };
  bool open = false;           // a field began and has not ended
  std::size_t fieldStart = 0;  // where it began
  std::uint64_t carry = 0;     // bit 0: the byte before this stretch is not a blank
  for (std::size_t base = 0; base < size; base += 64) {
    const std::size_t bytes = std::min<std::size_t>(64, size - base);
    std::uint64_t nonBlank = 0;  // bytes past the line read as blanks
    std::uint64_t special = 0;
    std::size_t k = 0;
    for (; k + 16 <= bytes; k += 16) {
      const TJwwByteMasks m = JwwByteMasks(line + base + k);
      special |= std::uint64_t{m.special} << k;
      nonBlank |= std::uint64_t{m.nonBlank} << k;
    }
    if (k < bytes) {
      const TJwwByteMasks m = LineEndMasks(line, size, bytes - k);
      special |= std::uint64_t{m.special} << k;
      nonBlank |= std::uint64_t{m.nonBlank} << k;
    }
    // From the first special byte on, all reads as one field, which stays open.
    if (special != 0) nonBlank |= ~std::uint64_t{0} << std::countr_zero(special);
    const std::uint64_t before = (nonBlank << 1) | carry;
    std::uint64_t starts = nonBlank & ~before;
    std::uint64_t ends = ~nonBlank & before;  // never past the line: bytes past it read as blanks
    carry = nonBlank >> 63;
    if (open && ends != 0) {
      emit(fieldStart, base + static_cast<std::size_t>(std::countr_zero(ends)));
      ends &= ends - 1;
      open = false;
    }
    while (starts != 0) {
      const std::size_t from = base + static_cast<std::size_t>(std::countr_zero(starts));
      starts &= starts - 1;
      if (ends == 0) {
        open = true;
        fieldStart = from;
        break;
      }
      emit(from, base + static_cast<std::size_t>(std::countr_zero(ends)));
      ends &= ends - 1;
    }
    if (special != 0) return {false, n, fieldStart};
  }
  // The last field ends the line (met as the blanks standing for bytes past
  // it, unless the line fills its last 64); blanks after the last field add
  // an empty one, and a line of blanks (or of nothing) is one empty field.
  if (open) {
    emit(fieldStart, size);
  } else if (n == 0 || in[size - 1] == ' ') {
    emit(size, size);
  }
  out.count = n;
  out.exact = std::min<std::size_t>(n, TJwwFields::kMaxFields + 1);
  out.ownNumbers = 0;
  return {true, n, size};
}

}  // namespace

bool JwwSplitPlainFields(const char* line, std::size_t size, TJwwFields& out) {
  return SplitPlainPrefix(line, size, out).whole;
}

void JwwSplitFields(char* line, std::size_t size, TJwwFields& out) {
  const TPlainPrefix prefix = SplitPlainPrefix(line, size, out);
  if (prefix.whole) return;
  // Byte by byte from the first field the plain start did not finish: what
  // the split would hold there had it gone byte by byte from the start.
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  const std::array<ByteClass, 256>* classes = &kSplitOn;
  std::size_t cur = prefix.fields;  // index of the current field
  std::size_t start = prefix.resume;  // where the current field begins in `line`
  std::size_t w = prefix.resume;      // write position; never past the read position
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

  std::size_t i = prefix.resume;
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
