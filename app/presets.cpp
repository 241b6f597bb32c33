// The preset file: twenty tables of 256 layer widths with their comments, the
// window's position, the table in use, the dialog's folder and the check boxes.
#include "app/presets.h"

#include <charconv>
#include <fstream>
#include <string_view>
#include <system_error>

#include "exchange/atomic_file.h"
#include "util/text.h"

namespace {

constexpr int kLineCount = 5148;
constexpr int kTableLines = 1 + kLayerCount;  // comment, then the widths

// Reads the file a line at a time; a line ends at LF or CR LF. Past the end of
// the file every line reads as empty, as the layout's short-file rule wants.
class TLineSource {
 public:
  explicit TLineSource(const std::filesystem::path& path) : in_(path, std::ios::binary) {}

  bool IsOpen() const { return in_.is_open(); }

  // False once reading has failed: the caller keeps what it has and stops.
  bool Next(std::string& line) {
    line.clear();
    if (ended_) return true;
    std::getline(in_, line);
    if (in_.bad()) return false;
    if (in_.fail()) {  // nothing extracted: the end of the file
      ended_ = true;
      line.clear();
      return true;
    }
    if (in_.eof()) ended_ = true;  // a last line without a line end
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  std::ifstream in_;
  bool ended_ = false;
};

void AppendInt(std::string& out, int32_t v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

// A value that becomes one line of the file must not carry a line break of
// its own, or every later line would shift: it is cut at its first LF.
void AppendOneLine(std::string& out, std::string_view text) {
  const std::size_t lf = text.find('\n');
  if (lf != std::string_view::npos) {
    text = text.substr(0, lf);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  }
  out.append(text);
}

}  // namespace

std::filesystem::path PresetPathFor(const std::filesystem::path& exePath) {
  using value_type = std::filesystem::path::value_type;
  auto name = exePath.filename().native();
  const auto dot = name.rfind(static_cast<value_type>('.'));
  if (dot != decltype(name)::npos) name.erase(dot);
  for (const char c : std::string_view(".dat")) name.push_back(static_cast<value_type>(c));
  std::filesystem::path result = exePath;
  result.replace_filename(name);
  return result;
}

void LoadPresets(const std::filesystem::path& path, TPresetModel& model, TPresetControls& controls) {
  model = TPresetModel{};

  std::error_code ec;
  if (!std::filesystem::exists(path, ec) || ec) return;
  if (std::filesystem::is_directory(path, ec)) return;

  try {
    TLineSource src(path);
    if (!src.IsOpen()) return;
    std::string line;

    if (!src.Next(line)) return;
    model.SavedLeft = TextToInt(line);
    if (!src.Next(line)) return;
    model.SavedTop = TextToInt(line);
    if (!src.Next(line)) return;
    controls.DialogFolder = line;
    if (!src.Next(line)) return;
    const int32_t tab = TextToInt(line);
    model.CurrentTab = (tab < 1 || tab > kPresetCount) ? 1 : tab;

    for (int k = 1; k <= kPresetCount; ++k) {
      TPresetTable& table = model.Table(k);
      if (!src.Next(line)) return;
      table.Comment = line;
      for (int i = 0; i < kLayerCount; ++i) {
        if (!src.Next(line)) return;
        table.Widths[static_cast<std::size_t>(i)] = ClampWidth(TextToInt(line));
      }
    }

    bool* const boxes[] = {&controls.CheckBox1, &controls.CheckBox3, &controls.CheckBox4,
                           &controls.CheckBox5};
    for (bool* box : boxes) {
      if (!src.Next(line)) return;
      *box = TextToBool(line);
    }
  } catch (...) {
    // Out of memory on an absurd line: what was read stays, the rest keeps its defaults.
  }
}

bool SavePresets(const std::filesystem::path& path, const TPresetModel& model,
                 const TPresetControls& controls, IFileReplaceSeam* seam, TFileError* error) {
  try {
    std::string out;
    out.reserve(static_cast<std::size_t>(kLineCount) * 5 + 1024);
    const auto endLine = [&out] { out += "\r\n"; };

    AppendInt(out, model.SavedLeft);
    endLine();
    AppendInt(out, model.SavedTop);
    endLine();
    AppendOneLine(out, controls.DialogFolder);
    endLine();
    const int32_t tab = model.CurrentTab;
    AppendInt(out, (tab < 1 || tab > kPresetCount) ? 1 : tab);
    endLine();
    for (int k = 1; k <= kPresetCount; ++k) {
      const TPresetTable& table = model.Table(k);
      AppendOneLine(out, table.Comment);
      endLine();
      for (const int32_t w : table.Widths) {
        AppendInt(out, ClampWidth(w));
        endLine();
      }
    }
    for (const bool box : {controls.CheckBox1, controls.CheckBox3, controls.CheckBox4,
                           controls.CheckBox5}) {
      out += BoolToText(box);
      endLine();
    }
    static_assert(4 + kPresetCount * kTableLines + 4 == kLineCount);
    return ReplaceFileContents(path, out, seam, error);
  } catch (...) {
    if (error != nullptr) *error = FileFailure("write", TFileFailure::OutOfMemory);
    return false;
  }
}
