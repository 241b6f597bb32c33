// The field split of exchange-file lines, done in place over the caller's bytes.
#include "exchange/line_split.h"

#include <array>
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
          start = w;
          curEmpty = true;
        }
        ++i;
        break;
      default:  // kDrop
        ++i;
        break;
    }
  }
  close();
  out.count = cur + 1;
}
