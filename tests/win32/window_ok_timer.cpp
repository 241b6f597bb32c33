// Times OK in the real window against the batch command on the same drawing,
// both as processes under the same system (for scripts/bench-window.sh):
//   window_ok_timer window TOOL_DIR   t905.exe in TOOL_DIR, beside its exchange and preset
//                                     files: seconds from the OK click to the process's end
//   window_ok_timer cli CLI_EXE DIR   "t905cli.exe convert" run in DIR: seconds from start to end
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/form_texts.h"
#include "tests/win32/window_harness_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kTimeoutMs = 600000;
constexpr int kOkX = 328, kOkY = 216;  // the OK button's place in the window, at 96 DPI

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int TimeWindowOk(const fs::path& toolDir) {
  harness::ToolProcess tool;
  if (!tool.Start(toolDir / L"t905.exe", toolDir)) {
    std::fprintf(stderr, "cannot start t905.exe\n");
    return 1;
  }
  HWND main = tool.WaitForMainWindow(harness::Widen(kWindowCaption), kTimeoutMs);
  if (main == nullptr) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  tool.WaitIdle(kTimeoutMs);
  HWND ok = harness::ControlAt(main, kOkX, kOkY, L"Button");
  if (ok == nullptr) {
    std::fprintf(stderr, "no OK button\n");
    return 1;
  }
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  harness::PostClick(ok);
  DWORD code = 0;
  if (!tool.WaitForExit(kTimeoutMs, code)) {
    std::fprintf(stderr, "t905.exe did not end\n");
    return 1;
  }
  QueryPerformanceCounter(&end);
  std::printf("%.3f\n", Seconds(start, end));
  return code == 0 ? 0 : 1;
}

int TimeCli(const fs::path& cli, const fs::path& dir) {
  std::wstring command = L"\"" + cli.wstring() + L"\" convert";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &info)) {
    std::fprintf(stderr, "cannot start t905cli.exe\n");
    return 1;
  }
  WaitForSingleObject(info.hProcess, kTimeoutMs);
  QueryPerformanceCounter(&end);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::printf("%.3f\n", Seconds(start, end));
  return code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "window" && argc == 3) return TimeWindowOk(argv[2]);
  if (mode == "cli" && argc == 4) return TimeCli(argv[2], argv[3]);
  std::fprintf(stderr, "usage: window_ok_timer window TOOL_DIR | cli CLI_EXE DIR\n");
  return 2;
}
