// The twenty preset tables, the model the window keeps of them, and the
// 5148-line preset file that carries them from one run to the next.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "exchange/file/file_error.h"

class IFileReplaceSeam;
class TPresetLines;

constexpr int kPresetCount = 20;
constexpr int kLayerCount = 256;
constexpr int32_t kMaxWidth = 30000;

struct TPresetTable {
  std::string Comment;  // one line, Shift-JIS, byte for byte
  std::array<int32_t, kLayerCount> Widths = DefaultWidths();  // by layer index; -1 or 0..30000

  static constexpr std::array<int32_t, kLayerCount> DefaultWidths() {
    std::array<int32_t, kLayerCount> w{};
    for (auto& v : w) v = -1;
    return w;
  }
};

// The preset model the main window owns.
struct TPresetModel {
  int32_t SavedLeft = 0;
  int32_t SavedTop = 0;
  int32_t CurrentTab = 1;  // 1..20
  std::array<TPresetTable, kPresetCount> Presets{};  // table k at [k - 1]

  TPresetTable& Table(int k) { return Presets[static_cast<std::size_t>(k - 1)]; }
  const TPresetTable& Table(int k) const { return Presets[static_cast<std::size_t>(k - 1)]; }
};

// What the preset file holds that lives in the window's controls, not the model.
struct TPresetControls {
  bool CheckBox1 = false;    // points
  bool CheckBox3 = false;    // dimension figures
  bool CheckBox4 = false;    // solids
  bool CheckBox5 = false;    // solids of arbitrary colour
  std::string DialogFolder;  // the environment-file dialog's folder, Shift-JIS, "" for none
};

// A width outside -1..30000 becomes -1.
constexpr int32_t ClampWidth(int32_t v) { return (v < -1 || v > kMaxWidth) ? -1 : v; }

// The preset file's name: the executable's path with its extension replaced by ".dat".
std::filesystem::path PresetPathFor(const std::filesystem::path& exePath);

// Sets the model's defaults, then reads the file if there is one. Without a
// file `controls` is left untouched. A short or unreadable file keeps what was
// read; missing lines read as empty. Never throws.
void LoadPresets(const std::filesystem::path& path, TPresetModel& model, TPresetControls& controls);
// The same from a file the caller has opened (and perhaps read already):
// read from its first line; when it is not open, only the defaults are set.
void LoadPresets(TPresetLines& lines, TPresetModel& model, TPresetControls& controls);

// Writes the 5148 lines through a temporary file in the same folder that,
// flushed to the disk, then replaces the old file. On failure (a read-only
// file included) the old file is kept, the result is false and `error`, when
// given, says why. Never throws.
// A comment or folder holding a line break is written up to that break, so the
// lines after it stay in place. `seam` lets tests fail a step.
bool SavePresets(const std::filesystem::path& path, const TPresetModel& model,
                 const TPresetControls& controls, IFileReplaceSeam* seam = nullptr,
                 TFileError* error = nullptr);
