// Entry point of the batch command. On Windows the words arrive as UTF-16 so
// that any path survives; they are handed on as UTF-8. Text goes out through
// one sink per stream (see app/text_out.h), and the default files are looked
// for beside the executable.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/cli.h"
#include "app/cli_progress.h"
#include "app/text_out.h"
#include "exchange/file/interrupt_cleanup.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
std::string ToUtf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

std::filesystem::path ExecutableDir() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);  // a long path was cut short
  }
}
#else
std::filesystem::path ExecutableDir() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}
#endif

int Run(const std::vector<std::string>& args) {
  const bool utf8 = CliWantsUtf8(args);
  const auto outSink = MakeStdSink(TStdStream::Out, *std::cout.rdbuf(), utf8);
  const auto errSink = MakeStdSink(TStdStream::Err, *std::cerr.rdbuf(), utf8);
  TTextOutBuf outBuf(*outSink);
  TTextOutBuf errBuf(*errSink);
  std::ostream out(&outBuf);
  std::ostream err(&errBuf);

  TCliContext context;
  context.exeDir = ExecutableDir();
  // The progress line only for a person watching; a redirected stderr gets errors alone.
  std::optional<TProgressLine> line;
  if (IsTerminal(TStdStream::Err)) {
    line.emplace(err);
    context.progress = &*line;
  }
  const int code = RunCli(args, out, err, context);
  out.flush();
  err.flush();
  return code;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  InstallInterruptCleanup();
  return Run(args);
}
#else
int main(int argc, char** argv) {
  InstallInterruptCleanup();
  return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
