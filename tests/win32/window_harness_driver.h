// Drives a running t905.exe from another process, as the host and a user would: start
// it in a folder of its own, find its window and controls, click, type, answer its
// message boxes, hold keys, take a picture of the screen and wait for the exit.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace harness {

// Shift-JIS bytes (as the tool's texts are kept) to UTF-16 and back, by code page 932.
std::wstring Widen(std::string_view sjis);
std::string Narrow(std::wstring_view text);

// A child process of t905.exe; the process is ended if it is still running when the
// object goes away, so a failed test never leaves a window behind.
class ToolProcess {
 public:
  ToolProcess() = default;
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // Starts exe with working folder cwd. False when the process could not be created.
  bool Start(const std::filesystem::path& exe, const std::filesystem::path& cwd);
  // Runs a batch file through the command interpreter, as the host runs its BAT; the
  // windows are then those of the process started from the program file tool.
  bool StartBatch(const std::filesystem::path& batch, const std::filesystem::path& tool,
                  const std::filesystem::path& cwd);
  // The tool's main window (visible, top level, owned by the process, with caption),
  // or nullptr when none appeared within the time.
  HWND WaitForMainWindow(std::wstring_view caption, DWORD timeoutMs);
  // A visible dialog box (class #32770) of the process with that caption, or nullptr.
  HWND WaitForDialog(std::wstring_view caption, DWORD timeoutMs);
  // Waits until the program waits for input with nothing left to handle.
  void WaitIdle(DWORD timeoutMs);
  // True when the process ended within the time; its exit code is then in exitCode.
  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
  // True while the started process (the interpreter, for a batch file) runs.
  bool Running() const;

 private:
  // The process whose windows are searched: the started one, or the tool started by it
  // (0 while that has not started).
  DWORD WindowOwner();
  HWND WaitForWindow(std::wstring_view caption, std::wstring_view windowClass, DWORD timeoutMs);

  PROCESS_INFORMATION info_{};
  bool batch_ = false;
  DWORD tool_ = 0;
  std::wstring expectedTool_;
};

// The window's client-area layout is given in 96-DPI pixels; this many pixels per 96.
int ScreenDpi();

// The descendant of top whose top-left corner lies at (x, y) of top's client area
// (96-DPI units, scaled) and whose class is windowClass ("" for any), or nullptr.
HWND ControlAt(HWND top, int x, int y, std::wstring_view windowClass);
// The first descendant of parent of that class, or nullptr.
HWND FindChildOfClass(HWND parent, std::wstring_view windowClass);
// The texts of every descendant of top of that class.
std::vector<std::wstring> ChildTexts(HWND top, std::wstring_view windowClass);

std::wstring WindowText(HWND window);
void SetText(HWND window, std::wstring_view text);

// Sent messages are handled before anything posted, so a sent action followed by a
// posted one keeps its order, but not the other way round: use Send* for each step,
// and Post* only for the last step of a sequence, or for one that opens a modal box
// (the harness then waits for the box or for the exit).
LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// A click as the button's own message (BM_CLICK), which works without the focus.
void SendClick(HWND button);
void PostClick(HWND button);
// A left click at (x, y) of the window's client area (device pixels).
void SendMouseClick(HWND window, int x, int y);
// A key press as the window's own messages, past the dialog manager.
void SendKey(HWND window, UINT virtualKey);
// A key press through the message loop, so the dialog manager sees it (Escape, Enter).
void PostKey(HWND window, UINT virtualKey);
// Moves the mouse pointer to (x, y) of the window's client area (device pixels), as a
// person's hand does: the window under it sees the move through the input queue.
void MoveMouseTo(HWND window, int x, int y);
// A shown tooltip window owned by owner, or nullptr when none appeared within the time.
HWND WaitForTooltip(HWND owner, DWORD timeoutMs);
// Paints the window and its controls now, so a picture shows the latest state.
void PaintNow(HWND window);

// A key held down through the system's input queue, so that GetAsyncKeyState sees it
// whichever window has the focus; released when the object goes away.
class HeldKey {
 public:
  explicit HeldKey(WORD virtualKey);
  ~HeldKey();
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  WORD key_;
};

// Saves the screen area of the window as a PNG file. False when nothing was captured.
bool SaveWindowPng(HWND window, const std::filesystem::path& file);

}  // namespace harness
