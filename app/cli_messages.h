// The batch command's messages about files: each names the file, the step
// that failed and the system's reason, or says what the file is instead of the
// one expected. "" means nothing is wrong. Plain UTF-8 text without the
// program's name or a line end; the command writes them out.
#pragma once

#include <filesystem>
#include <string>

#include "exchange/file/file_error.h"

class TPresetLines;

// A path as the messages show it: UTF-8 on Windows, the bytes as given elsewhere.
std::string PathText(const std::filesystem::path& path);
// The full path, so a user learns where a file was looked for even when the
// command named none.
std::string FullPathText(const std::filesystem::path& path);

// "<step> failed: <reason>", e.g. "opening it failed: Permission denied".
std::string FileErrorWords(const TFileError& error);

// A preset file that cannot be opened, or (unless forced) is not a whole one.
// `lines`, when given, is left open on the file, so that loading it after
// the check needs no second read.
std::string PresetFileRefusal(const std::filesystem::path& path, bool force, TPresetLines* lines = nullptr);

// An exchange file that cannot be read, or (unless forced) whose first line is
// not "hq" or "hd". A missing file is refused unless `missingIsFine`.
std::string ExchangeFileRefusal(const std::filesystem::path& path, bool force, bool missingIsFine);

// An exchange file that is not there: its full path and the option that names another.
std::string MissingExchangeFile(const std::filesystem::path& path);

// An answer's path that cannot take a file.
std::string OutputRefusal(const std::filesystem::path& path);

// A read of the exchange file that failed; for memory, with the file's size.
std::string ReadFailure(const std::filesystem::path& path, const TFileError& error);

// A write of the answer that failed; the file was left as it was.
std::string WriteFailure(const std::filesystem::path& path, const TFileError& error);
