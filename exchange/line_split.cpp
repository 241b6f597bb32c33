// The field split of exchange-file lines, done in place over the caller's bytes.
#include "exchange/line_split.h"

#include "util/text.h"

void JwwSplitFields(char* line, std::size_t size, TJwwFields& out) {
  std::size_t cur = 0;      // index of the current field
  std::size_t start = 0;    // where the current field begins in `line`
  std::size_t w = 0;        // write position
  bool curEmpty = true;     // also tracked for fields past the kept ones
  bool splitting = true;

  const auto append = [&](char c) {
    if (cur < TJwwFields::kMaxFields) line[w++] = c;
    curEmpty = false;
  };
  const auto close = [&]() {
    if (cur < TJwwFields::kMaxFields) out.field[cur] = std::string_view(line + start, w - start);
  };

  std::size_t i = 0;
  while (i < size) {
    const auto b = static_cast<unsigned char>(line[i]);
    if (IsSjisLeadByte(b)) {
      if (i + 1 >= size) break;  // a lead byte without its partner is dropped
      append(line[i]);
      append(line[i + 1]);
      i += 2;
      continue;
    }
    ++i;
    if (splitting) {
      if (b == '"') {
        splitting = false;
        continue;
      }
      if (b == '=') {
        append('=');
        splitting = false;
        continue;
      }
      if (b == ' ' || b == '\t') {
        if (!curEmpty) {
          close();
          ++cur;
          start = w;
          curEmpty = true;
        }
        continue;
      }
    }
    if (b >= 0x20 && b <= 0xFD) append(static_cast<char>(b));
  }
  close();
  out.count = cur + 1;
}
