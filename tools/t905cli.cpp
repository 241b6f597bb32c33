// Entry point of the batch command. On Windows the words arrive as UTF-16 so
// that any path survives; they are handed on as UTF-8.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "exchange/interrupt_cleanup.h"

#ifdef _WIN32
#include <windows.h>

namespace {

std::string ToUtf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  InstallInterruptCleanup();
  return RunCli(args, std::cout, std::cerr);
}

#else

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  InstallInterruptCleanup();
  return RunCli(args, std::cout, std::cerr);
}

#endif
