// Feeds arbitrary bytes to the exchange-file reader: whole, as the file is
// read, line by line, as a caller may hand lines over one at a time, and in
// small blocks with lines read ahead on a second thread, as a large file is
// read; the last must store the same records as the first.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "exchange/read_ahead.h"
#include "exchange/reader.h"

namespace {

// The reader clamps layers and keeps every table's order entry in step; a
// breach is a finding even when nothing crashes.
void CheckStore(const TJwwData& d) {
  if (d.attr.CurLg < 0 || d.attr.CurLg > 15 || d.attr.CurLy < 0 || d.attr.CurLy > 15) std::abort();
  if (d.attr.CurCc < 0 || d.attr.CurCc > 8) std::abort();
  std::size_t total = 0;
  for (int32_t kind = 1; kind <= 15; ++kind) total += static_cast<std::size_t>(JwwKindCount(d, kind));
  if (total != d.Order.size()) std::abort();
  for (const TJwwOrder& o : d.Order) {
    if (o.index < 0 || o.index >= JwwKindCount(d, o.kind)) std::abort();
  }
  for (const TJwwEntLine& l : d.Lines) {
    if (!std::isfinite(l.x1) || !std::isfinite(l.y2)) std::abort();
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
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    JwwParseLine(lines, rest.substr(0, lf));
    if (lf == std::string_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  CheckStore(lines);

  TJwwData ahead;
  JwwDataInit(ahead);
  std::istringstream in{std::string(bytes)};
  const std::optional<bool> read = JwwReadStreamAhead(ahead, in, 32, nullptr, 0);
  if (!read.has_value() || !*read) std::abort();
  CheckStore(ahead);
  if (ahead.Order.size() != whole.Order.size()) std::abort();
  for (std::size_t i = 0; i < whole.Order.size(); ++i) {
    if (ahead.Order[i].kind != whole.Order[i].kind || ahead.Order[i].index != whole.Order[i].index) std::abort();
  }
  return 0;
}
