// Feeds arbitrary bytes to the environment-file import, as a file: every grid
// row the import writes holds 16 widths as the grid shows them ("-1" or a
// number of 0 or more in plain decimal), every other row keeps its texts, and
// the file read whole sets the grid as its lines read one at a time would.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "app/jwf_import.h"
#include "fuzz/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// A text the import never writes, to tell the rows it left alone.
constexpr std::string_view kUntouched = "untouched";
// Inputs of up to this many lines are also read a line at a time.
constexpr std::size_t kLinesReadOneByOne = 8;

const fs::path& Folder() {
  static const TScratchFolder folder("jwf");
  return folder.Path();
}

bool Import(std::string_view bytes, TGridTexts& cells) {
  const fs::path path = Folder() / "env.jwf";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
  }
  return ImportJwf(path, cells);
}

// "-1", "0", or digits without a leading zero that fit a signed 32-bit integer.
bool IsGridWidth(const std::string& text) {
  if (text == "-1" || text == "0") return true;
  if (text.empty() || text.size() > 10 || text[0] < '1' || text[0] > '9') return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return text.size() < 10 || text <= "2147483647";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TGridTexts whole;
  for (auto& row : whole) row.fill(std::string(kUntouched));
  if (!Import(bytes, whole)) std::abort();
  for (const auto& row : whole) {
    if (row[0] == kUntouched) {
      for (const std::string& cell : row) {
        if (cell != kUntouched) std::abort();
      }
      continue;
    }
    for (const std::string& cell : row) {
      if (!IsGridWidth(cell)) std::abort();
    }
  }

  std::size_t lines = 0;
  for (const char c : bytes) lines += c == '\n' ? 1 : 0;
  if (lines >= kLinesReadOneByOne) return 0;
  TGridTexts oneByOne;
  for (auto& row : oneByOne) row.fill(std::string(kUntouched));
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    if (!Import(rest.substr(0, lf), oneByOne)) std::abort();
    if (lf == std::string_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  if (oneByOne != whole) std::abort();
  return 0;
}
