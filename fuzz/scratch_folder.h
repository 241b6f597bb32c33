// A folder of the fuzzing process's own for targets that read their input from a file: in
// memory where the system has one (every input is written there), removed when the process ends.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

class TScratchFolder {
 public:
  explicit TScratchFolder(const std::string& target) {
    std::error_code ec;
    namespace fs = std::filesystem;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path_ = base / ("t905-" + target + "-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};
