// Small file helpers for tests: a scratch folder that removes itself, and
// whole-file reads and writes of raw bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / std::string(name); }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Splits file bytes at CR LF; a final line end makes no empty last line.
std::vector<std::string> SplitCrLf(std::string_view bytes);

// A fixture file from tests/data.
std::filesystem::path TestDataPath(std::string_view name);
