// Starting the disk write of a large file while it is still being written.
//
// Linux's ext4 writes out the whole of a new file, on the caller's thread, at
// the moment it is renamed over an existing one (its guard against files left
// empty by a crash). For an answer of tens of megabytes that is tens of
// milliseconds at the very end of the run. Started piece by piece as the file
// is written, the same work happens on the thread that writes it, while the
// walk still runs, and the rename finds little left to do. Elsewhere this does
// nothing: Windows renames without writing the file out.
#pragma once

#include <cstdint>
#include <filesystem>

class TWriteBack {
 public:
  TWriteBack() = default;
  ~TWriteBack() { Close(); }
  TWriteBack(const TWriteBack&) = delete;
  TWriteBack& operator=(const TWriteBack&) = delete;

  // Starts the write of what `path` holds so far, once `written` (its size
  // now) has grown by a piece since the last start. Only a request: nothing
  // is waited for, and a failure is no failure of the file's write.
  void Written(const std::filesystem::path& path, std::uint64_t written);
  void Close();

  // Bytes written between two requests.
  static constexpr std::uint64_t kPiece = std::uint64_t{1} << 20;

 private:
  int fd_ = -1;                 // the file, opened for reading; -1 before the first request or where none could be had
  bool tried_ = false;          // opening was tried
  std::uint64_t started_ = 0;   // the size at the last request
};
