// Read -> write -> read: the drawing an answer holds survives being read and
// written again. The first answer may still differ from the second (it hands
// back the host's layer and the attribute lines of entities it left out);
// from then on the store read back writes the very answer it was read from,
// but for the closing layer lines: they hand back the layer the answer read
// began on, which in the first answer may be that of an entity left out.
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
  TJwwWriter w(d);
  JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
  return std::string(w.Output.FileBytes());
}

// The answer without its closing layer lines.
std::string_view WithoutClosingLayerLines(std::string_view answer) {
  while (answer.ends_with("\r\n")) {
    const std::string_view body = answer.substr(0, answer.size() - 2);
    const std::size_t cut = body.rfind("\r\n");
    const std::size_t begin = cut == std::string_view::npos ? 0 : cut + 2;
    const std::string_view line = body.substr(begin);
    if (!line.starts_with("lg") && !line.starts_with("ly")) break;
    answer = answer.substr(0, begin);
  }
  return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TJwwData host;
  TJwwData first;
  TJwwData second;
  const std::string firstAnswer = Answer(bytes, host);
  const std::string secondAnswer = Answer(firstAnswer, first);
  const std::string thirdAnswer = Answer(secondAnswer, second);
  if (WithoutClosingLayerLines(thirdAnswer) != WithoutClosingLayerLines(secondAnswer)) std::abort();
  // The same records, kind for kind, in the same order.
  if (first.Order.size() != second.Order.size()) std::abort();
  for (std::size_t i = 0; i < first.Order.size(); ++i) {
    if (first.Order[i].kind != second.Order[i].kind || first.Order[i].index != second.Order[i].index) std::abort();
  }
  return 0;
}
