// Read -> write -> read: the drawing an answer holds survives being read and
// written again. The first answer may still differ from the second (it hands
// back the host's layer and the attribute lines of entities it left out);
// from then on the store read back writes the very answer it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/read/reader.h"
#include "exchange/write/writer.h"

namespace {

// The answer to `bytes` when the user presses OK at once, and the store read.
std::string Answer(std::string_view bytes, TJwwData& d) {
  JwwDataInit(d);
  JwwReadBytes(d, bytes);
  if (d.ReadOutcome != TJwwReadOutcome::Complete) std::abort();
  JwwWriteInit(d);
  JwwWriteData(d, TJwwOverrides{}, nullptr, nullptr);
  return std::string(d.Output.FileBytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TJwwData host;
  TJwwData first;
  TJwwData second;
  const std::string firstAnswer = Answer(bytes, host);
  const std::string secondAnswer = Answer(firstAnswer, first);
  if (Answer(secondAnswer, second) != secondAnswer) std::abort();
  // The same records, kind for kind, in the same order.
  if (first.Order.size() != second.Order.size()) std::abort();
  for (std::size_t i = 0; i < first.Order.size(); ++i) {
    if (first.Order[i].kind != second.Order[i].kind || first.Order[i].index != second.Order[i].index) std::abort();
  }
  return 0;
}
