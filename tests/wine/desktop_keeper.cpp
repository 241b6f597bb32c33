// Keeps Wine's desktop alive during a test run: creating a window makes Wine start its
// desktop process, and this program then stays (pumping messages, so broadcasts from
// the tests never wait on it) until it is killed or its lifetime runs out.
//   desktop_keeper.exe [seconds]    default 3600; prints "ready" once the desktop is up
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

LRESULT CALLBACK KeeperProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

unsigned LifetimeSeconds(int argc, char** argv) {
  unsigned seconds = 3600;
  if (argc > 1) {
    const char* text = argv[1];
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), seconds);
    if (error != std::errc() || *end != '\0' || seconds == 0) seconds = 3600;
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned seconds = LifetimeSeconds(argc, argv);

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = KeeperProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"T905DesktopKeeper";
  if (RegisterClassW(&window_class) == 0) return 1;
  // Never shown: its creation alone brings up the desktop.
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"t905 desktop keeper",
                                WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                window_class.hInstance, nullptr);
  if (window == nullptr) return 1;
  std::puts("ready");
  std::fflush(stdout);

  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    const ULONGLONG left = deadline - now;
    const DWORD wait = left > 60000 ? 60000 : static_cast<DWORD>(left);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      DispatchMessageW(&message);
    }
  }
  DestroyWindow(window);
  return 0;
}
