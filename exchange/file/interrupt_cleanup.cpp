// The interrupt handlers and the one registered temporary path they remove.
// POSIX: the signal handler unlinks the path and calls _exit, both safe in a
// handler. Windows: the console handler runs on a thread of its own; it raises
// the flag the writer checks between chunks, waits for the writer to close and
// delete its file (an open file cannot be deleted there), then ends the process.
#include "exchange/file/interrupt_cleanup.h"

#include <atomic>
#include <cstring>

#include "exchange/file/windows_api.h"

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>
#endif

namespace {

using TNativeChar = std::filesystem::path::value_type;

constexpr std::size_t kPathRoom = 4096;
TNativeChar gTempPath[kPathRoom];
std::atomic<int> gTempArmed{0};
std::atomic<int> gInterrupted{0};

static_assert(std::atomic<int>::is_always_lock_free, "the handlers read these flags");

#ifdef _WIN32

// How long the handler waits for the writer's own cleanup; the system gives a
// closing console about five seconds in all.
constexpr int kCleanupWaitMs = 3000;

BOOL WINAPI ConsoleHandler(DWORD event) {
  (void)event;  // Ctrl-C, Ctrl-Break, close, log-off and shut-down alike
  gInterrupted.store(1);
  for (int waited = 0; gTempArmed.load() != 0 && waited < kCleanupWaitMs; waited += 10) Sleep(10);
  if (gTempArmed.load() != 0) DeleteFileW(gTempPath);
  ExitProcess(kInterruptedExitCode);
}

#else

extern "C" void SignalHandler(int) {
  gInterrupted.store(1);
  if (gTempArmed.load() != 0) unlink(gTempPath);
  _exit(kInterruptedExitCode);
}

#endif

}  // namespace

void InstallInterruptCleanup() {
#ifdef _WIN32
  SetConsoleCtrlHandler(ConsoleHandler, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = SignalHandler;
  sigemptyset(&action.sa_mask);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, sig);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
#endif
}

bool InterruptRequested() { return gInterrupted.load() != 0; }

TInterruptTempFile::TInterruptTempFile(const std::filesystem::path& temp) {
  const auto& native = temp.native();
  gTempArmed.store(0);
  if (native.size() >= kPathRoom) return;
  std::memcpy(gTempPath, native.c_str(), (native.size() + 1) * sizeof(TNativeChar));
  gTempArmed.store(1);
}

TInterruptTempFile::~TInterruptTempFile() { gTempArmed.store(0); }
