// The preset file: twenty tables of 256 layer widths with their comments, the
// window's position, the table in use, the dialog's folder and the check boxes.
#include "app/presets.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "app/preset_lines.h"
#include "exchange/file/atomic_file.h"
#include "util/text.h"

namespace {

constexpr int kLineCount = 5148;
constexpr int kTableLines = 1 + kLayerCount;  // comment, then the widths

// The file's lines for loading: past the end of the file every line reads
// as empty, as the layout's short-file rule wants. False once reading has
// failed: the caller keeps what it has and stops.
bool NextLine(TPresetLines& lines, std::string_view& line) {
  if (lines.Next(line)) return true;
  line = {};
  return !lines.Failed();
}

// TextToInt for the lines the file is made of, "-1" and widths of a few
// digits, without its general steps; anything else goes to TextToInt.
int32_t LineInt(std::string_view text) {
  if (text == "-1") return -1;  // most of the file: the layers left as they are
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 9) return TextToInt(text);
  int32_t v = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return TextToInt(text);
    v = v * 10 + (c - '0');
  }
  return negative ? -v : v;
}

// Reads the file's lines into a model that holds the defaults.
void ReadPresets(TPresetLines& lines, TPresetModel& model, TPresetControls& controls);

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
    TPresetLines lines(path);
    ReadPresets(lines, model, controls);
  } catch (...) {
    // Out of memory opening the file: the defaults stay.
  }
}

void LoadPresets(TPresetLines& lines, TPresetModel& model, TPresetControls& controls) {
  model = TPresetModel{};
  ReadPresets(lines, model, controls);
}

namespace {

void ReadPresets(TPresetLines& lines, TPresetModel& model, TPresetControls& controls) {
  if (!lines.IsOpen()) return;
  try {
    lines.Rewind();
    std::string_view line;

    if (!NextLine(lines, line)) return;
    model.SavedLeft = TextToInt(line);
    if (!NextLine(lines, line)) return;
    model.SavedTop = TextToInt(line);
    if (!NextLine(lines, line)) return;
    controls.DialogFolder = std::string(line);
    if (!NextLine(lines, line)) return;
    const int32_t tab = TextToInt(line);
    model.CurrentTab = (tab < 1 || tab > kPresetCount) ? 1 : tab;

    for (int k = 1; k <= kPresetCount; ++k) {
      TPresetTable& table = model.Table(k);
      if (!NextLine(lines, line)) return;
      table.Comment = std::string(line);
      for (int i = 0; i < kLayerCount; ++i) {
        if (!NextLine(lines, line)) return;
        table.Widths[static_cast<std::size_t>(i)] = ClampWidth(LineInt(line));
      }
    }

    bool* const boxes[] = {&controls.CheckBox1, &controls.CheckBox3, &controls.CheckBox4,
                           &controls.CheckBox5};
    for (bool* box : boxes) {
      if (!NextLine(lines, line)) return;
      *box = TextToBool(line);
    }
  } catch (...) {
    // Out of memory on an absurd line: what was read stays, the rest keeps its defaults.
  }
}

}  // namespace

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
    // The user's tables, kept from run to run: on the disk before they replace the old ones.
    return ReplaceFileContents(path, out, seam, error, TReplaceDurability::Durable);
  } catch (...) {
    if (error != nullptr) *error = FileFailure("write", TFileFailure::OutOfMemory);
    return false;
  }
}
