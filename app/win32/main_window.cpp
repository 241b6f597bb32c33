// Form1's Win32 window: controls from the layout table, events routed to
// TForm1, fonts and positions scaled to the monitor's DPI.
#include "app/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "app/form_texts.h"
#include "app/win32/clipboard.h"
#include "app/win32/cp932.h"
#include "app/win32/grid_menu.h"
#include "app/win32/layout.h"
#include "app/win32/resource.h"
#include "app/win32/string_grid.h"

namespace {

constexpr wchar_t kMainClass[] = L"T905Form1";
constexpr wchar_t kAppClass[] = L"T905Application";
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

// One row per control, in the order they are stacked: the controls over the tab
// strip come before it so that they lie on top of its page.
struct TControlSpec {
  int id;
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
  layout::TBox box;
  bool smallFont;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;

const std::array<TControlSpec, 17> kControls{{
    {IDB_BUTTON1, L"BUTTON", kButton | BS_DEFPUSHBUTTON, 0, layout::kButton1, false},
    {IDB_BUTTON2, L"BUTTON", kButton, 0, layout::kButton2, false},
    {IDT_LABEL1, L"STATIC", kLabel, 0, layout::kLabel1, false},
    {IDE_EDIT1, L"EDIT", kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE,
     layout::kEdit1, false},
    {IDT_LABELL1, L"STATIC", kLabel, 0, layout::kLabelL1, false},
    {IDB_BUTTON3, L"BUTTON", kButton, 0, layout::kButton3, true},
    {IDB_BUTTON5, L"BUTTON", kButton, 0, layout::kButton5, true},
    {IDB_BUTTON4, L"BUTTON", kButton, 0, layout::kButton4, true},
    {IDT_LABELL2, L"STATIC", kLabel, 0, layout::kLabelL2, false},
    {IDG_STRINGGRID1, TStringGrid::kClassName, kChild | WS_TABSTOP | WS_GROUP | WS_HSCROLL | WS_VSCROLL,
     WS_EX_CLIENTEDGE, layout::kStringGrid1, false},
    {IDC_TABCONTROL1, WC_TABCONTROLW, kChild | WS_TABSTOP | WS_GROUP | TCS_FIXEDWIDTH | TCS_SINGLELINE, 0,
     layout::kTabControl1, false},
    {IDX_CHECKBOX1, L"BUTTON", kCheck, 0, layout::kCheckBox1, false},
    {IDX_CHECKBOX3, L"BUTTON", kCheck, 0, layout::kCheckBox3, false},
    {IDX_CHECKBOX4, L"BUTTON", kCheck, 0, layout::kCheckBox4, false},
    {IDX_CHECKBOX5, L"BUTTON", kCheck, 0, layout::kCheckBox5, false},
    {IDE_MEMO1, L"EDIT", kChild | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_LEFT,
     WS_EX_CLIENTEDGE, layout::kMemo1, false},
    {IDT_LABELA1, L"STATIC", kChild | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, layout::kLabelA1, false},
}};

// The keyboard order; Memo1 is left out.
constexpr std::array<int, 12> kTabOrder{IDB_BUTTON1, IDB_BUTTON2,   IDC_TABCONTROL1, IDE_EDIT1,
                                        IDG_STRINGGRID1, IDB_BUTTON3, IDB_BUTTON5,  IDB_BUTTON4,
                                        IDX_CHECKBOX1, IDX_CHECKBOX3, IDX_CHECKBOX4, IDX_CHECKBOX5};

// Per-monitor DPI functions exist from Windows 10 1607; older systems get the
// screen's DPI and the plain frame calculation.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int WindowDpi(HWND hwnd) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && hwnd) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : layout::kBaseDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : layout::kBaseDpi;
}

// The frame is measured at the window's own DPI, which the system has already
// changed when WM_DPICHANGED arrives, and in the window's present style: the
// sizing border comes and goes with the preview pane.
SIZE FrameSizeFor(int clientWidth, int clientHeight, int dpi, DWORD style, DWORD exStyle) {
  static const auto adjustForDpi = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, clientWidth, clientHeight};
  if (adjustForDpi) {
    adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

std::wstring ModulePath() {
  // Grows the buffer until the whole path fits, so long paths are not cut.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got == 0) return {};
    if (got < buffer.size()) {
      buffer.resize(got);
      return buffer;
    }
    if (buffer.size() >= 32768 * 2) return {};
    buffer.resize(buffer.size() * 2);
  }
}

int CheckBoxControlId(TCheckBoxId id) {
  switch (id) {
    case TCheckBoxId::Points: return IDX_CHECKBOX1;
    case TCheckBoxId::Dims: return IDX_CHECKBOX3;
    case TCheckBoxId::Solids: return IDX_CHECKBOX4;
    case TCheckBoxId::Arbitrary: return IDX_CHECKBOX5;
  }
  return 0;
}

const char* ControlText(int id) {
  switch (id) {
    case IDB_BUTTON1: return kButton1Text;
    case IDB_BUTTON2: return kButton2Text;
    case IDB_BUTTON3: return kButton3Text;
    case IDB_BUTTON4: return kButton4Text;
    case IDB_BUTTON5: return kButton5Text;
    case IDX_CHECKBOX1: return kCheckBox1Text;
    case IDX_CHECKBOX3: return kCheckBox3Text;
    case IDX_CHECKBOX4: return kCheckBox4Text;
    case IDX_CHECKBOX5: return kCheckBox5Text;
    case IDT_LABEL1: return kLabel1Text;
    case IDT_LABELA1: return kStatusIdle;
    default: return "";
  }
}

// The Yes/No box of Windows ignores Escape; the form's question treats Escape
// as No, so the box is taught that while it is up.
thread_local HHOOK tBoxHook = nullptr;

LRESULT CALLBACK YesNoBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(hwnd, IDNO);
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, YesNoBoxProc, id);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK YesNoBoxHook(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK hook = tBoxHook;
  if (code == HCBT_ACTIVATE && hook) {
    SetWindowSubclass(reinterpret_cast<HWND>(wParam), YesNoBoxProc, 1, 0);
    UnhookWindowsHookEx(hook);
    tBoxHook = nullptr;
    return 0;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

TMainWindow::TMainWindow(HINSTANCE instance, TOptions options)
    : instance_(instance), options_(std::move(options)), form_(*this) {
  formBrush_ = CreateSolidBrush(layout::kFormColour);
  memoBrush_ = CreateSolidBrush(layout::kMemoColour);
  statusBrush_ = CreateSolidBrush(layout::kStatusColour);
}

TMainWindow::~TMainWindow() {
  if (appHwnd_ && IsWindow(appHwnd_)) DestroyWindow(appHwnd_);  // takes the owned main window with it
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(smallFont_),
                         static_cast<HGDIOBJ>(formBrush_), static_cast<HGDIOBJ>(memoBrush_),
                         static_cast<HGDIOBJ>(statusBrush_)}) {
    if (object) DeleteObject(object);
  }
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

bool TMainWindow::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  // The dialog manager's extra bytes: DefDlgProc then gives the window the
  // default button, Escape as Cancel and the focus handling of a dialog.
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_T905));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kMainClass;
  const bool main = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  wc.lpfnWndProc = AppWndProc;
  wc.cbWndExtra = 0;
  wc.lpszClassName = kAppClass;
  const bool app = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return main && app && TStringGrid::Register(instance);
}

bool TMainWindow::Create(int showCommand) {
  if (!RegisterClasses(instance_)) return false;
  const std::wstring appTitle = SjisToWide(kAppTitle);
  // The application window: no size, so nothing of it shows but its button on
  // the task bar, which carries the application title.
  appHwnd_ = CreateWindowExW(0, kAppClass, appTitle.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             0, 0, 0, 0, nullptr, nullptr, instance_, this);
  if (!appHwnd_) return false;
  const std::wstring caption = SjisToWide(kWindowCaption);
  const SIZE frame =
      FrameSizeFor(layout::kClientWidth, layout::kClientHeight, layout::kBaseDpi, kMainStyle, kMainExStyle);
  hwnd_ = CreateWindowExW(kMainExStyle, kMainClass, caption.c_str(), kMainStyle, 0, 0, frame.cx, frame.cy, appHwnd_,
                          nullptr, instance_, this);
  if (!hwnd_) return false;
  LoadPreviewState();
  ApplyLayout(WindowDpi(hwnd_), nullptr);

  form_.FormShow();
  if (previewSettings_.shown) ShowPreview(true);
  // The saved position may lie on a monitor of another scale.
  if (WindowDpi(hwnd_) != dpi_) ApplyLayout(WindowDpi(hwnd_), nullptr);
  // Only 6 x 7 cells show: a selection lying elsewhere is brought into view.
  if (TStringGrid* grid = Grid()) grid->RevealFirstUsed();

  RECT r{};
  GetWindowRect(hwnd_, &r);
  SetWindowPos(appHwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  ShowWindow(appHwnd_, SW_SHOWNOACTIVATE);
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(kTabOrder.front())), TRUE);
  shown_ = true;
  return true;
}

bool TMainWindow::PreTranslateMessage(MSG& msg) {
  if (!hwnd_ || closed_) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && HandleTabKey(msg)) return true;
  if (msg.message == WM_KEYDOWN && PreviewKey(msg.wParam)) return true;
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

int TMainWindow::RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

HWND TMainWindow::Control(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }

TStringGrid* TMainWindow::Grid() const { return TStringGrid::FromHwnd(Control(IDG_STRINGGRID1)); }

// ---- window procedures ----

LRESULT CALLBACK TMainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefDlgProcW(hwnd, msg, wParam, lParam);
    return self->Route(msg, wParam, lParam);
  } catch (...) {
    // No exception may cross the system's code; the message counts as handled.
    return 0;
  }
}

LRESULT CALLBACK TMainWindow::AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->appHwnd_) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->RouteApp(msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TMainWindow::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: return CreateControls() ? 0 : -1;
    case kPreviewReadyMessage: return OnPreviewReady(), 0;
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam)), 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      return OnGridContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(formBrush_);
    case WM_CTLCOLORDLG: return reinterpret_cast<LRESULT>(formBrush_);
    case WM_CLOSE: return Close(), 0;
    case WM_SIZE: return OnSize(static_cast<UINT>(wParam)), 0;
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam)), 0;
    case WM_DPICHANGED:
      return OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)), 0;
    case WM_SYSCOMMAND:
      // Minimising goes through the application window, which keeps the task
      // bar button; this window hides until that one is restored.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) return ShowWindow(hwnd_, SW_HIDE), ShowWindow(appHwnd_, SW_MINIMIZE), 0;
      return DefDlgProcW(hwnd_, msg, wParam, lParam);
    case WM_DESTROY: return OnDestroy(), 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      return DefDlgProcW(std::exchange(hwnd_, nullptr), msg, wParam, lParam);
    default: return DefDlgProcW(hwnd_, msg, wParam, lParam);
  }
}

LRESULT TMainWindow::RouteApp(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) ActivateMain();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) RestoreMain();
      return 0;
    case WM_CLOSE: return Close(), 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(appHwnd_, GWLP_USERDATA, 0);
      return DefWindowProcW(std::exchange(appHwnd_, nullptr), msg, wParam, lParam);
    default: return DefWindowProcW(appHwnd_, msg, wParam, lParam);
  }
}

// ---- building and laying out ----

bool TMainWindow::CreateControls() {
  for (const TControlSpec& spec : kControls) {
    const std::wstring text = SjisToWide(ControlText(spec.id));
    const HWND control = CreateWindowExW(spec.exStyle, spec.windowClass, text.c_str(), spec.style, 0, 0, 0, 0, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
    if (!control) return false;
  }
  const HWND tabs = Control(IDC_TABCONTROL1);
  for (int i = 0; i < kTabCount; ++i) {
    std::wstring text = SjisToWide(kTabTexts[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(tabs, TCM_SETCURSEL, 0, 0);
  SetWindowTextW(Control(IDE_MEMO1), SjisToWide(MemoText()).c_str());
  if (TStringGrid* grid = Grid()) {
    grid->SetTipSource([this](int col, int row) { return SjisToWide(form_.CellHint(col, row)); });
  }
  if (!CreatePreview()) return false;

  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_T905), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_T905), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  for (HWND window : {hwnd_, appHwnd_}) {
    if (bigIcon_) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
  return true;
}

void TMainWindow::MakeFonts(int dpi) {
  const auto make = [dpi](int height) {
    LOGFONTW lf{};
    lf.lfHeight = -layout::Scale(height, dpi);  // character height, as the layout gives it
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::copy(std::begin(layout::kFontFace), std::end(layout::kFontFace), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
  };
  const HFONT oldFont = font_;
  const HFONT oldSmall = smallFont_;
  font_ = make(layout::kFontHeight);
  smallFont_ = make(layout::kSmallFontHeight);
  for (const TControlSpec& spec : kControls) {
    SendMessageW(Control(spec.id), WM_SETFONT, reinterpret_cast<WPARAM>(spec.smallFont ? smallFont_ : font_), TRUE);
  }
  if (oldFont) DeleteObject(oldFont);
  if (oldSmall) DeleteObject(oldSmall);
}

void TMainWindow::ApplyLayout(int dpi, const RECT* suggested) {
  const bool outer = !std::exchange(layingOut_, true);
  dpi_ = dpi;
  MakeFonts(dpi);
  const auto s = [dpi](int v) { return layout::Scale(v, dpi); };
  for (const TControlSpec& spec : kControls) {
    SetWindowPos(Control(spec.id), nullptr, s(spec.box.left), s(spec.box.top), s(spec.box.width),
                 s(spec.box.height), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(Control(IDC_TABCONTROL1), TCM_SETITEMSIZE, 0,
               MAKELPARAM(s(layout::kTabWidth), s(layout::kTabHeight)));
  if (TStringGrid* grid = Grid()) grid->SetDpi(dpi);
  for (int id : {IDT_LABEL1, IDT_LABELL1, IDT_LABELL2}) AutoSizeLabel(id);
  SetResizable(previewSettings_.shown);
  PlacePreview();

  // A maximised window keeps the size the system gave it; the pane fills it.
  if (!IsZoomed(hwnd_)) {
    const SIZE frame = WindowSizeFor(ClientSize96());
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0u : UINT{SWP_NOMOVE});
    SetWindowPos(hwnd_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0, frame.cx, frame.cy,
                 flags);
  }
  FillPreview();
  if (outer) layingOut_ = false;
}

SIZE TMainWindow::WindowSizeFor(SIZE client96) const {
  return FrameSizeFor(layout::Scale(client96.cx, dpi_), layout::Scale(client96.cy, dpi_), WindowDpi(hwnd_),
                      static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
}

// Labels take the size of their text, so a one-character column does not
// cover the grid beside it.
void TMainWindow::AutoSizeLabel(int id) {
  const HWND label = Control(id);
  if (!label) return;
  const std::wstring text = WindowText(label);
  const HDC dc = GetDC(label);
  if (!dc) return;
  const HGDIOBJ old = SelectObject(dc, font_);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

// ---- events ----

void TMainWindow::OnCommand(int id, int code) {
  if (id == IDG_STRINGGRID1 && code == EN_CHANGE) return form_.StringGrid1SetEditText();
  if (id == IDG_STRINGGRID1) return OnGridCommand(code);
  if (id == IDE_EDIT1 && code == EN_CHANGE) return form_.Edit1Change();
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDX_PREVIEW: return ShowPreview(!previewSettings_.shown);
    case IDB_BUTTON1: return StopPreviewLoader(), form_.Button1Click();
    case IDB_BUTTON2: return form_.Button2Click();
    case IDB_BUTTON3: return form_.Button3Click();
    case IDB_BUTTON4: return form_.Button4Click();
    case IDB_BUTTON5: return form_.Button5Click();
    case IDX_CHECKBOX1:
    case IDX_CHECKBOX3:
    case IDX_CHECKBOX4:
    case IDX_CHECKBOX5: return form_.CheckBoxClick();
    default: return;
  }
}

LRESULT TMainWindow::OnNotify(const NMHDR* header) {
  if (!header || header->idFrom != IDC_TABCONTROL1) return 0;
  if (header->code == TCN_SELCHANGING) return form_.TabControl1Changing(), FALSE;  // the switch is always allowed
  if (header->code == TCN_SELCHANGE) form_.TabControl1Change();
  return 0;
}

LRESULT TMainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id == IDT_LABELA1) {
    SetBkColor(dc, layout::kStatusColour);
    return reinterpret_cast<LRESULT>(statusBrush_);
  }
  if (id == IDE_MEMO1) {
    SetBkColor(dc, layout::kMemoColour);
    return reinterpret_cast<LRESULT>(memoBrush_);
  }
  SetBkColor(dc, layout::kFormColour);
  return reinterpret_cast<LRESULT>(formBrush_);
}

void TMainWindow::OnDpiChanged(int dpi, const RECT* suggested) { ApplyLayout(dpi, suggested); }

void TMainWindow::OnDestroy() {
  SavePreviewState();
  StopPreviewLoader();
  // However the window goes, the host gets its answer.
  if (!closed_) {
    closed_ = true;
    form_.FormClose();
  }
  if (options_.quitOnClose) PostQuitMessage(0);
}

void TMainWindow::Close() {
  if (closed_) return;
  SavePreviewState();
  StopPreviewLoader();
  closed_ = true;
  form_.FormClose();
  if (hwnd_) DestroyWindow(hwnd_);
  if (appHwnd_) DestroyWindow(appHwnd_);
}

void TMainWindow::ActivateMain() {
  if (!hwnd_ || !shown_ || closed_ || !IsWindowVisible(hwnd_)) return;
  const HWND popup = GetLastActivePopup(hwnd_);
  SetActiveWindow(popup && IsWindowEnabled(popup) ? popup : hwnd_);
}

void TMainWindow::RestoreMain() {
  if (!hwnd_ || !shown_ || closed_) return;
  ShowWindow(hwnd_, SW_SHOW);
  ActivateMain();
}

// Tab and Shift+Tab follow the form's keyboard order, not the stacking order
// that keeps the controls above the tab strip.
bool TMainWindow::HandleTabKey(const MSG& msg) {
  if ((GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return false;
  const HWND focus = GetFocus();
  if (!focus || (focus != hwnd_ && !IsChild(hwnd_, focus))) return false;
  HWND top = focus;
  while (top != hwnd_ && GetParent(top) != hwnd_) top = GetParent(top);
  const int topId = top == hwnd_ ? 0 : GetDlgCtrlID(top);
  // Memo1 is read-only: a Tab there would go nowhere, so it moves on like elsewhere.
  if (topId != IDE_MEMO1) {
    const auto code = SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
  }
  const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const int count = static_cast<int>(kTabOrder.size());
  const auto found = std::find(kTabOrder.begin(), kTabOrder.end(), topId);
  int index = found == kTabOrder.end() ? (backwards ? 0 : count - 1) : static_cast<int>(found - kTabOrder.begin());
  for (int step = 0; step < count; ++step) {
    index = (index + (backwards ? count - 1 : 1)) % count;
    const HWND next = Control(kTabOrder[static_cast<std::size_t>(index)]);
    if (next && IsWindowVisible(next) && IsWindowEnabled(next)) {
      SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
      return true;
    }
  }
  return true;
}

// ---- IForm1Controls ----

std::string TMainWindow::GridCell(int col, int row) const {
  const TStringGrid* grid = Grid();
  return grid ? WideToSjis(grid->CellText(col, row)) : std::string();
}

void TMainWindow::SetGridCell(int col, int row, std::string_view text) {
  if (TStringGrid* grid = Grid()) grid->SetCellText(col, row, SjisToWide(text));
}

void TMainWindow::SetGridColWidth(int col, int pixels) {
  if (TStringGrid* grid = Grid()) grid->SetColWidth(col, pixels);
}

void TMainWindow::CommitGridEdit() {
  if (TStringGrid* grid = Grid()) grid->CommitEdit();
}

void TMainWindow::SetGridUse(const TGridUse& use) {
  if (TStringGrid* grid = Grid()) grid->SetUse(use);
  // The form re-tints the grid whenever a cell, a check box or the tab changes.
  RefreshPreviewWidths();
}

TGridSelection TMainWindow::GridSelection() const {
  const TStringGrid* grid = Grid();
  return grid ? grid->Selection() : TGridSelection();
}

void TMainWindow::SetGridSelection(const TGridSelection& selection) {
  if (TStringGrid* grid = Grid()) grid->SetSelection(selection);
}

std::optional<std::string> TMainWindow::ClipboardText() {
  const std::optional<std::wstring> wide = ReadClipboardText(hwnd_);
  if (!wide) return std::nullopt;
  return WideToSjis(*wide);
}

void TMainWindow::SetClipboardText(std::string_view text) { WriteClipboardText(hwnd_, SjisToWide(text)); }

std::string TMainWindow::Edit1Text() const {
  const std::wstring wide = WindowText(Control(IDE_EDIT1));
  return wide == edit1Wide_ ? edit1Sjis_ : WideToSjis(wide);
}

void TMainWindow::SetEdit1Text(std::string_view text) {
  edit1Sjis_.assign(text);
  edit1Wide_ = SjisToWide(text);
  SetWindowTextW(Control(IDE_EDIT1), edit1Wide_.c_str());
  // What the control keeps may differ (a NUL cuts it): compare with that later.
  edit1Wide_ = WindowText(Control(IDE_EDIT1));
}

bool TMainWindow::CheckBox(TCheckBoxId id) const {
  return SendMessageW(Control(CheckBoxControlId(id)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainWindow::SetCheckBox(TCheckBoxId id, bool checked) {
  SendMessageW(Control(CheckBoxControlId(id)), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int TMainWindow::TabIndex() const {
  return static_cast<int>(SendMessageW(Control(IDC_TABCONTROL1), TCM_GETCURSEL, 0, 0));
}

void TMainWindow::SelectTabSilently(int index) {
  // TCM_SETCURSEL sends neither TCN_SELCHANGING nor TCN_SELCHANGE.
  SendMessageW(Control(IDC_TABCONTROL1), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TMainWindow::SetStatusText(std::string_view text) {
  const HWND label = Control(IDT_LABELA1);
  SetWindowTextW(label, SjisToWide(text).c_str());
  // OK runs without taking messages, so the line is painted now.
  UpdateWindow(label);
}

void TMainWindow::SetLabelL1(std::string_view text) {
  SetWindowTextW(Control(IDT_LABELL1), SjisToWide(text).c_str());
  AutoSizeLabel(IDT_LABELL1);
}

void TMainWindow::SetLabelL2(std::string_view text) {
  SetWindowTextW(Control(IDT_LABELL2), SjisToWide(text).c_str());
  AutoSizeLabel(IDT_LABELL2);
}

int TMainWindow::WindowLeft() const { return RestoredRect().left; }

int TMainWindow::WindowTop() const { return RestoredRect().top; }

// OK keeps the window's place for the next run: for a maximised window that
// is where it returns to, not the maximised frame hanging over the screen's
// edges. The placement gives it in workspace coordinates, which start at the
// corner of the work area rather than of the screen.
RECT TMainWindow::RestoredRect() const {
  RECT r{};
  if (!hwnd_) return r;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (IsZoomed(hwnd_) && GetWindowPlacement(hwnd_, &placement) &&
      GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info)) {
    r = placement.rcNormalPosition;
    OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    return r;
  }
  GetWindowRect(hwnd_, &r);
  return r;
}

void TMainWindow::MoveWindowTo(int left, int top) {
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  BringOntoScreen();
}

// A position saved while a second monitor was attached may now lie on no
// screen at all, leaving a window nobody can reach: such a window goes to the
// nearest screen's work area. Any window that shows at least in part stays.
void TMainWindow::BringOntoScreen() {
  RECT rc{};
  if (!GetWindowRect(hwnd_, &rc) || MonitorFromRect(&rc, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT& work = info.rcWork;
  const LONG width = rc.right - rc.left;
  const LONG height = rc.bottom - rc.top;
  const LONG left = std::max(work.left, std::min(rc.left, work.right - width));
  const LONG top = std::max(work.top, std::min(rc.top, work.bottom - height));
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMainWindow::CloseWindow() { Close(); }

bool TMainWindow::ConfirmYesNo(std::string_view message) {
  const std::wstring text = SjisToWide(message);
  const std::wstring title = SjisToWide(kAppTitle);
  tBoxHook = SetWindowsHookExW(WH_CBT, YesNoBoxHook, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
  if (tBoxHook) {
    UnhookWindowsHookEx(tBoxHook);
    tBoxHook = nullptr;
  }
  // Only Yes clears: a box that could not be shown changes nothing.
  return answer == IDYES;
}

void TMainWindow::ShowMessage(std::string_view message) {
  const std::wstring text = SjisToWide(message);
  const std::wstring title = SjisToWide(kAppTitle);
  MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_OK);
}

void TMainWindow::ShowErrorMessage(std::string_view message) {
  const std::wstring text = SjisToWide(message);
  const std::wstring title = SjisToWide(kAppTitle);
  MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

std::optional<std::filesystem::path> TMainWindow::RunOpenDialog(const TOpenDialogSpec& spec) {
  const std::wstring title = SjisToWide(spec.title);
  std::wstring filter = SjisToWide(spec.filterName);
  filter.push_back(L'\0');
  filter += SjisToWide(spec.filterPattern);
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  const std::wstring defaultExt = SjisToWide(spec.defaultExt);
  const std::wstring folder = SjisToWide(spec.initialFolder);
  std::vector<wchar_t> file(32768, L'\0');  // room for long paths

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::filesystem::path(std::wstring(file.data()));
}

bool TMainWindow::IsEscapeDown() {
  // The low bit (pressed since the last call) catches a tap between two polls,
  // which under Wine the down bit alone misses. The first poll of a run first
  // clears what an earlier Escape (closing a box) left there.
  if (!escapePolled_) {
    GetAsyncKeyState(VK_ESCAPE);
    escapePolled_ = true;
  }
  return (GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0;
}

std::filesystem::path TMainWindow::ExecutablePath() const {
  if (!options_.exePath.empty()) return options_.exePath;
  return std::filesystem::path(ModulePath());
}

std::string TMainWindow::PathToText(const std::filesystem::path& path) const { return PathToSjis(path); }

std::filesystem::path TMainWindow::TextToPath(std::string_view text) const { return SjisToPath(text); }
