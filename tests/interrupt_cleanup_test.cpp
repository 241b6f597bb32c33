// An interrupt while a large file is being replaced, sent for real to a child
// process: the target stays as it was, no temporary file is left, status 130.
// POSIX only: Wine delivers no console events to a program without a real
// console, so the Windows handler is not driven from here.
#include "exchange/file/interrupt_cleanup.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/file/atomic_file.h"
#include "tests/support/files.h"

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Tells the parent that the temporary file holds its first chunk, then waits
// there to be interrupted.
class PausingSeam : public IFileReplaceSeam {
 public:
  explicit PausingSeam(int notify) : notify_(notify) {}
  bool AllowWrite(std::size_t written) override {
    if (written > 0 && !told_) {
      told_ = true;
      const char byte = 'w';
      (void)!write(notify_, &byte, 1);
      sleep(20);  // ended by the signal long before
    }
    return true;
  }

 private:
  int notify_;
  bool told_ = false;
};

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

struct SignalCase {
  const char* name;
  int sig;
};

class InterruptDuringWrite : public ::testing::TestWithParam<SignalCase> {};

TEST_P(InterruptDuringWrite, RemovesTheTemporaryFileAndKeepsTheTarget) {
  TempDir dir;
  const fs::path target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, "hq\r\n");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    InstallInterruptCleanup();
    PausingSeam seam(fds[1]);
    const std::string answer(8u << 20, 'x');  // several write chunks
    _exit(ReplaceFileContents(target, answer, &seam) ? 0 : 1);
  }
  close(fds[1]);
  pollfd ready{fds[0], POLLIN, 0};
  ASSERT_EQ(poll(&ready, 1, 20000), 1) << "the child never began writing";
  char byte = 0;
  ASSERT_EQ(read(fds[0], &byte, 1), 1);
  close(fds[0]);
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "the temporary file exists while it is written";

  ASSERT_EQ(kill(child, GetParam().sig), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself, not by the handler";
  EXPECT_EQ(WEXITSTATUS(status), kInterruptedExitCode);
  EXPECT_EQ(ReadFileBytes(target), "hq\r\n");
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptDuringWrite,
                         ::testing::Values(SignalCase{"SIGINT", SIGINT}, SignalCase{"SIGTERM", SIGTERM},
                                           SignalCase{"SIGHUP", SIGHUP}),
                         [](const ::testing::TestParamInfo<SignalCase>& p) { return std::string(p.param.name); });

}  // namespace

#endif
