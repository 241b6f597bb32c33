// Program entry of t905.exe: no arguments are read; the one window runs until
// it closes, and the answer to the host is written on the way out.
#include <windows.h>

#include <commctrl.h>

#include "app/win32/main_window.h"

namespace {

// DLLs come from System32 only, never from the folder the host put us in.
// The call exists from Windows 8 (and 7 with its update); older systems go on.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (!kernel32) return;
  const auto setDirs = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (setDirs) setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RestrictDllSearch();
  try {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    TMainWindow window(instance, TMainWindow::TOptions{});
    if (!window.Create(showCommand)) return 1;
    return window.RunMessageLoop();
  } catch (...) {
    return 1;
  }
}
