// Runs the messages waiting for this thread's windows, as the program's loop
// would, and returns when none is left. A WM_QUIT is dropped: the tests go on.
#pragma once

#include <windows.h>

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
