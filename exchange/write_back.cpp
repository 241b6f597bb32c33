#include "exchange/write_back.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

void TWriteBack::Written(const std::filesystem::path& path, std::uint64_t written) {
  if (written - started_ < kPiece) return;
  started_ = written;
#ifdef __linux__
  if (!tried_) {
    tried_ = true;
    // A descriptor of its own: the file is written through a stream that
    // does not show its own.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  // Offset 0 and length 0: the whole file; pages already on their way are skipped.
  if (fd_ >= 0) (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)path;
  (void)tried_;
#endif
}

void TWriteBack::Close() {
#ifdef __linux__
  if (fd_ >= 0) ::close(fd_);
#endif
  fd_ = -1;
  tried_ = false;
  started_ = 0;
}
