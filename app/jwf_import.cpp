// Reading the layer widths of the host's environment file: every LAYWID_ line
// fills the grid row of one layer group with that group's 16 widths.
#include "app/jwf_import.h"

#include <charconv>
#include <fstream>
#include <string_view>
#include <system_error>

#include "util/text.h"

namespace {

constexpr std::string_view kPrefix = "LAYWID_";
constexpr std::size_t kWorkSlots = 100;

std::string_view TrimControls(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

std::string IntText(int32_t v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

// Applies one line of the file; lines that are not layer-width lines change nothing.
void ApplyLine(std::string_view raw, std::array<std::string, kWorkSlots>& work, TGridTexts& cells) {
  const std::string upper = UpperCaseSjis(raw);
  const std::string_view line = TrimControls(upper);
  if (line.substr(0, kPrefix.size()) != kPrefix) return;

  // The group is the one byte after the prefix read as a hex digit; anything
  // else, or nothing, names group 0.
  std::string digit = "$";
  if (line.size() > kPrefix.size()) digit += line[kPrefix.size()];
  int32_t group = TextToInt(digit);
  if (group < 0 || group > 15) group = 0;

  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return;

  for (std::size_t i = 0; i < 16; ++i) work[i] = "-1";
  SplitCommaText(line.substr(eq + 1), work.data(), work.size());

  auto& row = cells[static_cast<std::size_t>(group)];
  for (std::size_t l = 0; l < 16; ++l) {
    int32_t v = TextToInt(work[l]);
    if (v < 0) v = -1;
    row[l] = IntText(v);
  }
}

}  // namespace

bool ImportJwf(const std::filesystem::path& path, TGridTexts& cells) {
  try {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    std::array<std::string, kWorkSlots> work{};
    std::string line;
    while (std::getline(in, line)) ApplyLine(line, work, cells);
    return !in.bad();
  } catch (...) {
    return false;
  }
}

bool HasJwfExtension(const std::filesystem::path& file) {
  const auto name = file.filename().native();
  const auto dot = name.rfind('.');
  if (dot == decltype(name)::npos || name.size() - dot != 4) return false;
  constexpr char kWanted[] = ".JWF";
  for (std::size_t i = 0; i < 4; ++i) {
    auto c = name[dot + i];
    if (c >= 'a' && c <= 'z') c = static_cast<decltype(c)>(c - 'a' + 'A');
    if (c != static_cast<decltype(c)>(kWanted[i])) return false;
  }
  return true;
}
