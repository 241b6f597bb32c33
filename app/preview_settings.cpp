// The pane's settings file.
#include "app/preview_settings.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

bool ParseInt(std::string_view text, int& out) {
  int v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
  out = v;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ')) s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

}  // namespace

std::filesystem::path PreviewSettingsPathFor(const std::filesystem::path& exePath) {
  std::filesystem::path p = exePath;
  p.replace_extension(".view");
  return p;
}

TPreviewSettings ParsePreviewSettings(std::string_view text) {
  TPreviewSettings s;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    int v = 0;
    if (!ParseInt(Trim(line.substr(eq + 1)), v)) continue;
    if (key == "shown") s.shown = v != 0;
    if (key == "after") s.after = v != 0;
    if (key == "width") s.width = std::clamp(v, TPreviewSettings::kMinSide, TPreviewSettings::kMaxSide);
    if (key == "height") s.height = std::clamp(v, TPreviewSettings::kMinSide, TPreviewSettings::kMaxSide);
  }
  return s;
}

std::string PreviewSettingsText(const TPreviewSettings& s) {
  return "shown=" + std::to_string(s.shown ? 1 : 0) + "\r\nafter=" + std::to_string(s.after ? 1 : 0) +
         "\r\nwidth=" + std::to_string(s.width) + "\r\nheight=" + std::to_string(s.height) + "\r\n";
}

TPreviewSettings LoadPreviewSettings(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return {};
  const std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return ParsePreviewSettings(text);
}

bool SavePreviewSettings(const std::filesystem::path& path, const TPreviewSettings& s) {
  std::filesystem::path temp = path;
  temp += ".part";
  const std::string text = PreviewSettingsText(s);
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (!f.write(text.data(), static_cast<std::streamsize>(text.size())) || !f.flush()) {
      f.close();
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}
