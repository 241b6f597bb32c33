// The least any tool must do with an exchange file: copy it line by line. The
// yardstick the conversion's speed is measured against.
#pragma once

#include <filesystem>

// Reads `from` whole, splits it at LF with memchr and writes each line with CR
// LF to `to` through a 1 MiB buffer written out whenever it fills: one write
// of a whole 40 MB answer swings by a factor of two from run to run on a busy
// machine, chunks of 1 MiB do not. False when either file fails.
bool CopyLines(const std::filesystem::path& from, const std::filesystem::path& to);
