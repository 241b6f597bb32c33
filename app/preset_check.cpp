// The batch command's check of a preset file's shape: its line count and its
// leading number lines.
#include "app/preset_check.h"

#include <string_view>

#include "app/preset_lines.h"
#include "util/text.h"

namespace {

// Lines 1, 2, 4 and 6 hold the window's position, the table in use and the
// first width; a preset file always has integers there.
bool IsNumberLine(int lineNo) { return lineNo == 1 || lineNo == 2 || lineNo == 4 || lineNo == 6; }

// Optional leading blanks, an optional sign, digits; as the file writes them or
// a person would type them.
bool IsIntegerText(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) ++i;
  const std::size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  return i > digits && i == line.size();
}

}  // namespace

std::string PresetFileProblem(const std::filesystem::path& path) {
  try {
    TPresetLines in(path);
    if (!in.IsOpen()) return "it cannot be opened";
    return PresetFileProblem(in);
  } catch (...) {
    return "it could not be read to its end (not enough memory)";
  }
}

std::string PresetFileProblem(TPresetLines& in) {
  try {
    in.Rewind();
    std::string_view line;
    long long lines = 0;
    long long lastFilled = 0;  // the last line that is not empty
    while (in.Next(line)) {
      ++lines;
      if (!line.empty()) lastFilled = lines;
      if (lines <= 6 && IsNumberLine(static_cast<int>(lines)) && !IsIntegerText(line)) {
        // A file whose lines end in CR alone is one long line to the loader.
        const bool crAlone = line.find('\r') != std::string_view::npos;
        return "line " + std::to_string(lines) + " is '" + PrintableExcerpt(line, 40) + "', not a number" +
               (crAlone ? " (a CR alone ends no line: lines end at LF or CR LF)" : "");
      }
    }
    if (in.Failed()) return "it could not be read to its end";
    if (lines < kPresetFileLines) {
      return "it has " + std::to_string(lines) + " lines, not " + std::to_string(kPresetFileLines);
    }
    if (lastFilled > kPresetFileLines) {
      return "it has " + std::to_string(lastFilled) + " lines, not " + std::to_string(kPresetFileLines);
    }
    return "";
  } catch (...) {
    return "it could not be read to its end (not enough memory)";
  }
}
