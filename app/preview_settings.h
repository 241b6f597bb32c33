// The pane's own settings, kept between runs in a small text file beside the
// preset file (the preset file's format is fixed and carries none of this).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct TPreviewSettings {
  bool shown = false;  // the pane is open
  bool after = false;  // 変換後 is shown
  int width = 480;     // pane size in pixels at 96 DPI
  int height = 311;

  static constexpr int kMinSide = 160;
  static constexpr int kMaxSide = 4000;
};

// Beside the preset file: the executable's path with the extension ".view".
std::filesystem::path PreviewSettingsPathFor(const std::filesystem::path& exePath);

// "key=value" lines; unknown keys, bad values and a missing file keep the
// defaults; sizes are held within kMinSide..kMaxSide.
TPreviewSettings ParsePreviewSettings(std::string_view text);
std::string PreviewSettingsText(const TPreviewSettings& s);

TPreviewSettings LoadPreviewSettings(const std::filesystem::path& path);
// Writes beside the target and renames, so a failed write leaves the old
// file; false when it could not be written.
bool SavePreviewSettings(const std::filesystem::path& path, const TPreviewSettings& s);
