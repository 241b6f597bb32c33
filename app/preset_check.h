// Whether a file is a whole preset file, for the batch command, which refuses
// to convert with a file that only looks like one (an exchange file named by
// mistake, a file cut short). The window keeps reading any file leniently.
#pragma once

#include <filesystem>
#include <string>

class TPresetLines;

constexpr int kPresetFileLines = 5148;

// What makes the file at `path` not a whole preset file, in words ("" when it
// is one): fewer or more than 5148 lines (empty lines past the end are
// allowed), or a number line among the first (window position, table in use,
// first width) that holds no integer. Never throws.
std::string PresetFileProblem(const std::filesystem::path& path);
// The same for a file the caller has opened, read from its first line.
std::string PresetFileProblem(TPresetLines& lines);
