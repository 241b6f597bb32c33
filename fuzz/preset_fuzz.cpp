// Feeds arbitrary bytes to the preset file's loader, as a file, the ways the
// tool reads it: the window loads it by name; the batch command checks it and
// loads it from the same open file. Both must load the same tables; the lines
// must be the file cut at LF with one CR before it dropped; a file the check
// accepts has 5148 lines; and what was loaded, saved again, is a whole preset
// file that loads back to the same tables.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/preset_check.h"
#include "app/preset_lines.h"
#include "app/presets.h"
#include "fuzz/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const TScratchFolder folder("preset");
  return folder.Path();
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

// The lines as the file's format defines them, cut here the plain way to hold
// the loader's quick cutting against.
std::vector<std::string_view> ExpectedLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    bytes.remove_prefix(lf + 1);
  }
  return lines;
}

bool Same(const TPresetModel& a, const TPresetControls& ac, const TPresetModel& b, const TPresetControls& bc) {
  if (a.SavedLeft != b.SavedLeft || a.SavedTop != b.SavedTop || a.CurrentTab != b.CurrentTab) return false;
  for (int k = 1; k <= kPresetCount; ++k) {
    if (a.Table(k).Comment != b.Table(k).Comment || a.Table(k).Widths != b.Table(k).Widths) return false;
  }
  return ac.CheckBox1 == bc.CheckBox1 && ac.CheckBox3 == bc.CheckBox3 && ac.CheckBox4 == bc.CheckBox4 &&
         ac.CheckBox5 == bc.CheckBox5 && ac.DialogFolder == bc.DialogFolder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const fs::path path = Folder() / "t905.dat";
  WriteBytes(path, bytes);

  // The lines, cut as the format says.
  const std::vector<std::string_view> expected = ExpectedLines(bytes);
  TPresetLines file(path);
  if (!file.IsOpen()) std::abort();
  std::string_view line;
  std::size_t count = 0;
  std::size_t lastFilled = 0;
  while (file.Next(line)) {
    if (count >= expected.size() || line != expected[count]) std::abort();
    ++count;
    if (!line.empty()) lastFilled = count;
  }
  if (file.Failed() || count != expected.size()) std::abort();

  // The batch command: the check, then the load from the same open file.
  const std::string problem = PresetFileProblem(file);
  const bool shaped = count >= kPresetFileLines && lastFilled <= kPresetFileLines;
  if (problem.empty() && !shaped) std::abort();
  TPresetModel checked;
  TPresetControls checkedControls;
  LoadPresets(file, checked, checkedControls);

  // The window: by name.
  TPresetModel loaded;
  TPresetControls loadedControls;
  LoadPresets(path, loaded, loadedControls);
  if (!Same(checked, checkedControls, loaded, loadedControls)) std::abort();
  if (loaded.CurrentTab < 1 || loaded.CurrentTab > kPresetCount) std::abort();
  for (const TPresetTable& t : loaded.Presets) {
    for (const int32_t w : t.Widths) {
      if (w < -1 || w > kMaxWidth) std::abort();
    }
  }

  // Saved again: a whole preset file, holding the same.
  const fs::path saved = Folder() / "saved.dat";
  if (!SavePresets(saved, loaded, loadedControls)) std::abort();
  if (!PresetFileProblem(saved).empty()) std::abort();
  TPresetModel back;
  TPresetControls backControls;
  LoadPresets(saved, back, backControls);
  if (!Same(loaded, loadedControls, back, backControls)) std::abort();
  return 0;
}
