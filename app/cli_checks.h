// The batch command's checks before it touches anything: that the exchange
// file is one the host wrote or the tool answered, and that the answer's path
// can take a file. Each says what is wrong in words for the message.
#pragma once

#include <filesystem>
#include <string>

#include "exchange/file/file_error.h"

enum class TFirstLineVerdict {
  Ours,        // "hq" (the host's opening) or "hd" (an answer)
  Other,       // any other first line, an empty file included
  Missing,     // no file at the path
  Unreadable,  // the file exists but its first line cannot be read
};

struct TFirstLineCheck {
  TFirstLineVerdict verdict = TFirstLineVerdict::Unreadable;
  std::string shown;  // Other: the first line as a message shows it ("" for an empty file)
  TFileError error;   // Unreadable: why
};

// Reads no more than the first line (and no more than a few hundred bytes of it).
TFirstLineCheck CheckExchangeFirstLine(const std::filesystem::path& path);

// Why no answer can be written at `path`, in words ("" when it can): no name,
// a folder that does not exist, a folder in the file's place, a read-only file.
std::string OutputPathProblem(const std::filesystem::path& path);
