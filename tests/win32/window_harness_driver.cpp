// Out-of-process driving of t905.exe: process start, window search, posted input and
// screen pictures. Everything here uses only what any Windows program may do to another
// one's windows, so it works the same on Windows and under Wine.
#include "tests/win32/window_harness_driver.h"

#include <tlhelp32.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cwctype>

namespace harness {

std::wstring Widen(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int size = static_cast<int>(sjis.size());
  const int count = MultiByteToWideChar(932, 0, sjis.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(932, 0, sjis.data(), size, out.data(), count);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int count = WideCharToMultiByte(932, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(932, 0, text.data(), size, out.data(), count, nullptr, nullptr);
  return out;
}

namespace {

bool SameClass(HWND window, std::wstring_view windowClass) {
  if (windowClass.empty()) return true;
  wchar_t name[128] = {};
  const int length = GetClassNameW(window, name, 128);
  if (length != static_cast<int>(windowClass.size())) return false;
  for (int i = 0; i < length; ++i) {
    if (std::towlower(name[i]) != std::towlower(windowClass[static_cast<size_t>(i)])) return false;
  }
  return true;
}

struct TopSearch {
  DWORD pid = 0;
  std::wstring_view caption;
  std::wstring_view windowClass;
  HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<TopSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search.pid || !IsWindowVisible(window)) return TRUE;
  if (!SameClass(window, search.windowClass) || WindowText(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

HWND WaitForTop(DWORD pid, std::wstring_view caption, std::wstring_view windowClass,
                DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    TopSearch search{pid, caption, windowClass, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(20);
  }
}

struct ChildSearch {
  HWND top = nullptr;
  RECT want{};  // acceptable area for the top-left corner, in top's client coordinates
  std::wstring_view windowClass;
  HWND found = nullptr;
  std::vector<std::wstring>* texts = nullptr;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<ChildSearch*>(param);
  if (!SameClass(window, search.windowClass)) return TRUE;
  if (search.texts != nullptr) {
    search.texts->push_back(WindowText(window));
    return TRUE;
  }
  RECT rect{};
  GetWindowRect(window, &rect);
  POINT corner{rect.left, rect.top};
  ScreenToClient(search.top, &corner);
  if (corner.x < search.want.left || corner.x > search.want.right ||
      corner.y < search.want.top || corner.y > search.want.bottom) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

}  // namespace

ToolProcess::~ToolProcess() {
  if (info_.hProcess == nullptr) return;
  if (tool_ != 0) {
    // A tool started by the interpreter would outlive it.
    if (HANDLE tool = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, tool_)) {
      if (WaitForSingleObject(tool, 0) == WAIT_TIMEOUT) TerminateProcess(tool, 99);
      CloseHandle(tool);
    }
  }
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ToolProcess::Start(const std::filesystem::path& exe, const std::filesystem::path& cwd) {
  // The host passes no arguments: the command line is the quoted program name alone.
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.c_str(), &startup, &info_) != FALSE;
}

bool ToolProcess::StartBatch(const std::filesystem::path& batch, const std::filesystem::path& tool,
                             const std::filesystem::path& cwd) {
  expectedTool_ = tool.wstring();
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::filesystem::path interpreter = std::filesystem::path(system) / L"cmd.exe";
  std::wstring commandLine = L"cmd.exe /c \"\"" + batch.wstring() + L"\"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  batch_ = true;
  return CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, cwd.c_str(), &startup, &info_) != FALSE;
}

bool ToolProcess::Running() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ToolProcess::WindowOwner() {
  if (!batch_) return info_.dwProcessId;
  if (tool_ != 0) return tool_;
  // The tool started by the batch file, known by its program file (the run's own copy);
  // it may not have started yet.
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && tool_ == 0;
       more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"t905.exe") != 0) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    wchar_t image[1024] = {};
    DWORD size = 1024;
    if (QueryFullProcessImageNameW(process, 0, image, &size) &&
        _wcsicmp(image, expectedTool_.c_str()) == 0) {
      tool_ = entry.th32ProcessID;
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return tool_;
}

HWND ToolProcess::WaitForWindow(std::wstring_view caption, std::wstring_view windowClass,
                                DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    const DWORD owner = WindowOwner();
    if (owner != 0) {
      if (HWND found = WaitForTop(owner, caption, windowClass, 0)) return found;
    }
    if (GetTickCount64() >= end) return nullptr;
    Sleep(20);
  }
}

HWND ToolProcess::WaitForMainWindow(std::wstring_view caption, DWORD timeoutMs) {
  return WaitForWindow(caption, L"", timeoutMs);
}

HWND ToolProcess::WaitForDialog(std::wstring_view caption, DWORD timeoutMs) {
  return WaitForWindow(caption, L"#32770", timeoutMs);
}

void ToolProcess::WaitIdle(DWORD timeoutMs) {
  if (!batch_) {
    WaitForInputIdle(info_.hProcess, timeoutMs);
    return;
  }
  HANDLE tool = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, WindowOwner());
  if (tool == nullptr) return;
  WaitForInputIdle(tool, timeoutMs);
  CloseHandle(tool);
}

bool ToolProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

HWND ControlAt(HWND top, int x, int y, std::wstring_view windowClass) {
  const int dpi = ScreenDpi();
  const int sx = MulDiv(x, dpi, 96);
  const int sy = MulDiv(y, dpi, 96);
  // Rounding of the scaled layout may move a corner by a pixel or two.
  const int slack = 2 + dpi / 96;
  ChildSearch search{top, RECT{sx - slack, sy - slack, sx + slack, sy + slack}, windowClass,
                     nullptr, nullptr};
  EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildOfClass(HWND parent, std::wstring_view windowClass) {
  ChildSearch search{parent, RECT{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}, windowClass, nullptr,
                     nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::wstring> ChildTexts(HWND top, std::wstring_view windowClass) {
  std::vector<std::wstring> texts;
  ChildSearch search{top, RECT{}, windowClass, nullptr, &texts};
  EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&search));
  return texts;
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT is carried across processes; GetWindowTextW would not ask the window.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

void SetText(HWND window, std::wstring_view text) {
  std::wstring copy(text);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &result);
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

void SendClick(HWND button) { Send(button, BM_CLICK, 0, 0); }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void SendMouseClick(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  Send(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  Send(window, WM_LBUTTONUP, 0, at);
}

namespace {

LPARAM KeyData(UINT virtualKey, bool up) {
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  return static_cast<LPARAM>(1u | (scan << 16) | (up ? (1u << 30) | (1u << 31) : 0u));
}

}  // namespace

void SendKey(HWND window, UINT virtualKey) {
  Send(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
  Send(window, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
}

void PostKey(HWND window, UINT virtualKey) {
  PostMessageW(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
  PostMessageW(window, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
}

void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                             RDW_UPDATENOW);
  // The X server shows what was drawn a moment later.
  Sleep(200);
}

HeldKey::HeldKey(WORD virtualKey) : key_(virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key_;
  SendInput(1, &input, sizeof input);
}

HeldKey::~HeldKey() {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key_;
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

namespace {

// A PNG of stored (uncompressed) deflate blocks: no compression library needed, and a
// window picture of a few hundred kilobytes is fine for a person to look at.
class PngWriter {
 public:
  static bool Write(const std::filesystem::path& file, int width, int height,
                    const std::vector<uint8_t>& rgbRows) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, static_cast<uint32_t>(width));
    Put32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", Zlib(rgbRows));
    Chunk(out, "IEND", {});
    FILE* f = _wfopen(file.c_str(), L"wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
  }

 private:
  static void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
  }

  static uint32_t Crc(const uint8_t* data, size_t size, uint32_t crc) {
    static const std::array<uint32_t, 256> table = [] {
      std::array<uint32_t, 256> t{};
      for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
      }
      return t;
    }();
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
  }

  static void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc(out.data() + start, out.size() - start, 0xFFFFFFFFu) ^ 0xFFFFFFFFu);
  }

  static std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
      const size_t size = std::min<size_t>(raw.size() - at, 65535);
      const bool last = at + size == raw.size();
      out.push_back(last ? 1 : 0);
      const auto len = static_cast<uint16_t>(size);
      const auto nlen = static_cast<uint16_t>(~len);
      out.insert(out.end(), {static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8),
                             static_cast<uint8_t>(nlen), static_cast<uint8_t>(nlen >> 8)});
      out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + size));
      at += size;
    } while (at < raw.size());
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : raw) {
      a = (a + byte) % 65521;
      b = (b + a) % 65521;
    }
    Put32(out, (b << 16) | a);
    return out;
  }
};

}  // namespace

void MoveMouseTo(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  SetCursorPos(at.x, at.y);
}

HWND WaitForTooltip(HWND owner, DWORD timeoutMs) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  const auto visit = [](HWND window, LPARAM param) -> BOOL {
    auto* s = reinterpret_cast<Search*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (_wcsicmp(name, L"tooltips_class32") != 0 || !IsWindowVisible(window)) return TRUE;
    if (GetWindow(window, GW_OWNER) != s->owner) return TRUE;
    s->found = window;
    return FALSE;
  };
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  do {
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(50);
  } while (GetTickCount64() < end);
  return nullptr;
}

bool SaveWindowPng(HWND window, const std::filesystem::path& file) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  // From the screen, not from the window: what a person sees, frame included.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    const auto* pixels = static_cast<const uint8_t*>(bits);
    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
      rows.push_back(0);  // filter: none
      const uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
      for (int x = 0; x < width; ++x) {
        const uint8_t* bgra = row + static_cast<size_t>(x) * 4;
        rows.insert(rows.end(), {bgra[2], bgra[1], bgra[0]});
      }
    }
    ok = PngWriter::Write(file, width, height, rows);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace harness
