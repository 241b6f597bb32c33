// Ctrl-C, Ctrl-Break, closing the console, SIGINT, SIGTERM and SIGHUP while a
// file is being replaced: the temporary file goes, the target stays as it was,
// and the process ends with status 130. The handlers touch only a path that was
// prepared before the write began, so they are safe to run at any moment.
#pragma once

#include <filesystem>

constexpr int kInterruptedExitCode = 130;

// Installs the handlers for the whole process (the batch command calls it
// once at start). Without it interrupts keep the system's default action.
void InstallInterruptCleanup();

// True once an interrupt has arrived. On Windows the handler runs on its own
// thread and waits briefly for the writer to see this and clean up; on POSIX
// the process has ended before anyone could ask.
bool InterruptRequested();

// Names the temporary file being written, for the handler to remove, for as
// long as the object lives. One at a time; a path too long for the prepared
// room is not registered (the writer's own cleanup still runs).
class TInterruptTempFile {
 public:
  explicit TInterruptTempFile(const std::filesystem::path& temp);
  ~TInterruptTempFile();
  TInterruptTempFile(const TInterruptTempFile&) = delete;
  TInterruptTempFile& operator=(const TInterruptTempFile&) = delete;
};
