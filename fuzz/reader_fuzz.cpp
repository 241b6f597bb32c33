// Feeds arbitrary bytes to the exchange-file reader: whole, as the file is
// read, and line by line without their line ends, as a caller may hand lines
// over one at a time; both must store the same records. One thread, so that
// any saved input gives the same run again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/read/reader.h"

namespace {

// The reader clamps layers and keeps every table's order entry in step; a
// breach is a finding even when nothing crashes.
void CheckStore(const TJwwData& d) {
  std::size_t total = 0;
  for (int32_t kind = 1; kind <= 15; ++kind) total += static_cast<std::size_t>(JwwKindCount(d, kind));
  if (total != d.Order.size()) std::abort();
  for (const TJwwOrder& o : d.Order) {
    if (o.index < 0 || o.index >= JwwKindCount(d, o.kind)) std::abort();
  }
  for (const TJwwEntLine& l : d.Lines) {
    if (l.lg < 0 || l.lg > 15 || l.ly < 0 || l.ly > 15) std::abort();
    if (!std::isfinite(l.x1) || !std::isfinite(l.y2)) std::abort();
  }
  for (const TJwwEntText& t : d.Texts) {
    if (t.cc < 0 || t.cc > 8) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TJwwData whole;
  JwwDataInit(whole);
  JwwReadBytes(whole, bytes);
  if (whole.ReadOutcome != TJwwReadOutcome::Complete) std::abort();
  CheckStore(whole);

  TJwwData lines;
  JwwDataInit(lines);
  TJwwReadState state;
  std::string_view rest = bytes.substr(0, bytes.find('\x1A'));
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    std::string line(rest.substr(0, lf));
    std::erase(line, '\r');  // the line end's, or stray ones: the reader drops them all
    JwwParseLine(lines, state, line);
    if (lf == std::string_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  CheckStore(lines);
  if (lines.Order.size() != whole.Order.size()) std::abort();
  for (std::size_t i = 0; i < whole.Order.size(); ++i) {
    if (lines.Order[i].kind != whole.Order[i].kind || lines.Order[i].index != whole.Order[i].index) std::abort();
  }
  return 0;
}
