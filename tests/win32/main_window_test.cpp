// The real Form1 window in this process: laid out as the table says, driven by
// window messages (clicks, keys, tab switches, typing into cells), checked by
// the files it leaves beside the executable path it was given.
#include "app/win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/form_texts.h"
#include "app/presets.h"
#include "app/win32/cp932.h"
#include "app/win32/layout.h"
#include "app/win32/string_grid.h"
#include "tests/support/files.h"
#include "tests/win32/pump.h"

namespace {

// Table rows print as their name in test lists.
template <typename T>
  requires requires(const T& row) { row.name; }
void PrintTo(const T& row, std::ostream* os) {
  *os << row.name;
}

// Layer group 0 layer 0 holds a line of width 10; group 1 layer 2 a circle.
constexpr char kDrawing[] =
    "hq\r\nlg0\r\nly0\r\nlw10\r\n0 0 100 0\r\nlg1\r\nly2\r\nci 50 50 20\r\n";

// The window with its modal boxes and the Escape key scripted, so nothing blocks.
class TScriptedWindow : public TMainWindow {
 public:
  using TMainWindow::TMainWindow;

  std::deque<bool> answers;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  std::optional<std::filesystem::path> chosenFile;
  std::vector<TOpenDialogSpec> dialogs;

  bool ConfirmYesNo(std::string_view message) override {
    questions.emplace_back(message);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowMessage(std::string_view message) override { messages.emplace_back(message); }
  std::optional<std::filesystem::path> RunOpenDialog(const TOpenDialogSpec& spec) override {
    dialogs.push_back(spec);
    return chosenFile;
  }
  bool IsEscapeDown() override { return false; }
};

// Under Wine without a window manager, what follows a modal box (the owner active again, a
// dialog's controls filled) arrives through the X server later: wait for it, pumping, within a bound.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

RECT BoxInClient(HWND parent, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);
    Open();
  }
  void TearDown() override {
    window_.reset();
    Pump();
  }
  void Open() {
    TMainWindow::TOptions options;
    options.exePath = dir_ / "t905.exe";
    options.quitOnClose = false;
    window_ = std::make_unique<TScriptedWindow>(GetModuleHandleW(nullptr), options);
    ASSERT_TRUE(window_->Create(SW_SHOWNORMAL));
    Pump();
  }
  HWND Control(int id) const { return window_->Control(id); }
  void Click(int id) {
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
  }
  // A key as the message loop would see it: the dialog keys first.
  void Key(UINT message, WPARAM key, LPARAM lParam = 1) {
    MSG msg{GetFocus(), message, key, lParam, GetTickCount(), {0, 0}};
    if (!window_->PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Pump();
  }
  void ClickCell(int col, int row) {
    TStringGrid* grid = window_->Grid();
    const RECT r = grid->Model().CellRect(col, row, grid->Dpi());
    SendMessageW(grid->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    SendMessageW(grid->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  void TypeIntoCell(int col, int row, const wchar_t* text) {
    ClickCell(col, row);
    ASSERT_TRUE(window_->Grid()->Editing());
    SendMessageW(window_->Grid()->Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  // A user's tab switch: the strip itself asks before and tells after.
  void ClickTab(int index) {
    const HWND tabs = Control(IDC_TABCONTROL1);
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    Pump();
  }
  // The notifications a tab switch sends, in order, as another part of the system would.
  void SwitchTabByNotify(int index) {
    const HWND tabs = Control(IDC_TABCONTROL1);
    NMHDR header{tabs, static_cast<UINT_PTR>(IDC_TABCONTROL1), TCN_SELCHANGING};
    SendMessageW(window_->Hwnd(), WM_NOTIFY, IDC_TABCONTROL1, reinterpret_cast<LPARAM>(&header));
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    header.code = TCN_SELCHANGE;
    SendMessageW(window_->Hwnd(), WM_NOTIFY, IDC_TABCONTROL1, reinterpret_cast<LPARAM>(&header));
    Pump();
  }
  // A fresh run on another drawing; the run before answers first (its "hq" must not win).
  void ReopenOn(const std::string& drawing) {
    window_.reset();
    Pump();
    WriteFileBytes(dir_ / "JWC_TEMP.TXT", drawing);
    Open();
  }
  std::string Answer() const { return ReadFileBytes(dir_ / "JWC_TEMP.TXT"); }
  bool Contains(const std::string& text, const std::string& part) const {
    return text.find(part) != std::string::npos;
  }

  TempDir dir_;
  std::unique_ptr<TScriptedWindow> window_;
};

// ---- layout ----

struct TBoxCase {
  const char* name;
  int id;
  layout::TBox box;
};

class MainWindowLayout : public MainWindow, public testing::WithParamInterface<TBoxCase> {};

TEST_P(MainWindowLayout, ControlSitsWhereTheTableSaysAt96Dpi) {
  ASSERT_EQ(window_->Dpi(), 96) << "the Wine prefix is expected at 96 DPI";
  const TBoxCase& c = GetParam();
  const RECT r = BoxInClient(window_->Hwnd(), Control(c.id));
  EXPECT_EQ(r.left, c.box.left);
  EXPECT_EQ(r.top, c.box.top);
  EXPECT_EQ(r.right - r.left, c.box.width);
  EXPECT_EQ(r.bottom - r.top, c.box.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainWindowLayout,
    testing::Values(TBoxCase{"TabControl1", IDC_TABCONTROL1, layout::kTabControl1},
                    TBoxCase{"Edit1", IDE_EDIT1, layout::kEdit1}, TBoxCase{"Button3", IDB_BUTTON3, layout::kButton3},
                    TBoxCase{"Button5", IDB_BUTTON5, layout::kButton5}, TBoxCase{"Button4", IDB_BUTTON4, layout::kButton4},
                    TBoxCase{"StringGrid1", IDG_STRINGGRID1, layout::kStringGrid1},
                    TBoxCase{"CheckBox1", IDX_CHECKBOX1, layout::kCheckBox1},
                    TBoxCase{"CheckBox3", IDX_CHECKBOX3, layout::kCheckBox3},
                    TBoxCase{"CheckBox4", IDX_CHECKBOX4, layout::kCheckBox4},
                    TBoxCase{"CheckBox5", IDX_CHECKBOX5, layout::kCheckBox5}, TBoxCase{"Memo1", IDE_MEMO1, layout::kMemo1},
                    TBoxCase{"Button1", IDB_BUTTON1, layout::kButton1}, TBoxCase{"Button2", IDB_BUTTON2, layout::kButton2},
                    TBoxCase{"LabelA1", IDT_LABELA1, layout::kLabelA1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainWindow, LabelsStartAtTheirPlaceAndDoNotCoverTheGrid) {
  for (auto [id, box] : {std::pair{IDT_LABEL1, layout::kLabel1}, {IDT_LABELL1, layout::kLabelL1},
                         {IDT_LABELL2, layout::kLabelL2}}) {
    const RECT r = BoxInClient(window_->Hwnd(), Control(id));
    EXPECT_EQ(r.left, box.left) << id;
    EXPECT_EQ(r.top, box.top) << id;
  }
  const RECT l2 = BoxInClient(window_->Hwnd(), Control(IDT_LABELL2));
  EXPECT_LE(l2.right, layout::kStringGrid1.left);
  EXPECT_GT(l2.bottom - l2.top, 6 * layout::kFontHeight);  // seven lines, written downward
}

TEST_F(MainWindow, FrameIsFixedWithMinimiseOnlyAndTheClientAsDesigned) {
  const HWND hwnd = window_->Hwnd();
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, layout::kClientWidth);
  EXPECT_EQ(client.bottom, layout::kClientHeight);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(MainWindow, CaptionBarAndTaskBarCarryTheirTitles) {
  EXPECT_EQ(TextOf(window_->Hwnd()), SjisToWide(kWindowCaption));
  EXPECT_EQ(TextOf(window_->AppHwnd()), SjisToWide(kAppTitle));
  // The main window is owned, so the task bar shows the application window's title.
  EXPECT_EQ(GetWindow(window_->Hwnd(), GW_OWNER), window_->AppHwnd());
  EXPECT_TRUE(IsWindowVisible(window_->AppHwnd()));
  RECT app{};
  GetWindowRect(window_->AppHwnd(), &app);
  EXPECT_EQ(app.right - app.left, 0);
}

TEST_F(MainWindow, TextsAndFontsAreThoseOfTheForm) {
  EXPECT_EQ(TextOf(Control(IDB_BUTTON1)), SjisToWide(kButton1Text));
  EXPECT_EQ(TextOf(Control(IDB_BUTTON2)), SjisToWide(kButton2Text));
  EXPECT_EQ(TextOf(Control(IDB_BUTTON4)), SjisToWide(kButton4Text));
  EXPECT_EQ(TextOf(Control(IDX_CHECKBOX5)), SjisToWide(kCheckBox5Text));
  EXPECT_EQ(TextOf(Control(IDT_LABELL1)), SjisToWide(kLabelL1Text));
  EXPECT_EQ(TextOf(Control(IDT_LABELL2)), SjisToWide(kLabelL2Text));
  EXPECT_EQ(TextOf(Control(IDE_MEMO1)), SjisToWide(MemoText()));
  EXPECT_TRUE(GetWindowLongPtrW(Control(IDE_MEMO1), GWL_STYLE) & ES_READONLY);
  for (auto [id, height] : {std::pair{IDB_BUTTON1, layout::kFontHeight}, {IDE_EDIT1, layout::kFontHeight},
                            {IDB_BUTTON3, layout::kSmallFontHeight}, {IDB_BUTTON4, layout::kSmallFontHeight}}) {
    LOGFONTW lf{};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0));
    ASSERT_TRUE(font && GetObjectW(font, sizeof(lf), &lf)) << id;
    EXPECT_EQ(lf.lfHeight, -height) << id;
    EXPECT_EQ(std::wstring(lf.lfFaceName), layout::kFontFace) << id;
  }
}

TEST_F(MainWindow, TabStripHasTwentyFixedWidthTabs) {
  const HWND tabs = Control(IDC_TABCONTROL1);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), kTabCount);
  for (int i = 0; i < kTabCount; ++i) {
    wchar_t text[8] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 8;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(text), std::wstring(1, static_cast<wchar_t>(0x2460 + i))) << i;
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.right - r.left, layout::kTabWidth) << i;
  }
}

TEST_F(MainWindow, CommonControlsSixAreActive) {
  // Only the version 6 edit control knows cue banners.
  EXPECT_TRUE(SendMessageW(Control(IDE_EDIT1), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"x")));
}

TEST_F(MainWindow, LayoutScalesWhenTheMonitorDpiChanges) {
  RECT frame{};
  GetWindowRect(window_->Hwnd(), &frame);
  SendMessageW(window_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
  Pump();
  EXPECT_EQ(window_->Dpi(), 144);
  RECT client{};
  GetClientRect(window_->Hwnd(), &client);
  EXPECT_EQ(client.right, 792);
  EXPECT_EQ(client.bottom, 467);
  const RECT ok = BoxInClient(window_->Hwnd(), Control(IDB_BUTTON1));
  EXPECT_EQ(ok.left, 492);
  EXPECT_EQ(ok.top, 324);
  EXPECT_EQ(ok.right - ok.left, 290);
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(IDB_BUTTON3), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -17);  // 11 at 150 %
  EXPECT_EQ(window_->Grid()->Dpi(), 144);
}

// ---- keys ----

TEST_F(MainWindow, TabKeyFollowsTheFormsKeyboardOrder) {
  SetFocus(Control(IDB_BUTTON1));
  const std::vector<int> order{IDB_BUTTON2,   IDC_TABCONTROL1, IDE_EDIT1,     IDG_STRINGGRID1,
                               IDB_BUTTON3,   IDB_BUTTON5,     IDB_BUTTON4,   IDX_CHECKBOX1,
                               IDX_CHECKBOX3, IDX_CHECKBOX4,   IDX_CHECKBOX5, IDB_BUTTON1};
  for (int id : order) {
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
}

struct TCloseKeyCase {
  const char* name;
  int focus;  // control that has the focus
  UINT message;
  WPARAM key;
  LPARAM lParam;
  const char* firstLine;  // of the answer
};

class MainWindowCloseKeys : public MainWindow, public testing::WithParamInterface<TCloseKeyCase> {};

TEST_P(MainWindowCloseKeys, KeyEndsTheRunWithItsAnswer) {
  const TCloseKeyCase& c = GetParam();
  SetFocus(Control(c.focus));
  Key(c.message, c.key, c.lParam);
  ASSERT_TRUE(window_->Closed());
  EXPECT_FALSE(IsWindow(window_->Hwnd()));
  const std::vector<std::string> lines = SplitCrLf(Answer());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), c.firstLine);
}

constexpr LPARAM kAltDown = 1 | (1 << 29);

INSTANTIATE_TEST_SUITE_P(
    Rows, MainWindowCloseKeys,
    testing::Values(TCloseKeyCase{"enter_in_comment_presses_ok", IDE_EDIT1, WM_KEYDOWN, VK_RETURN, 1, "hd"},
                    TCloseKeyCase{"escape_in_comment_cancels", IDE_EDIT1, WM_KEYDOWN, VK_ESCAPE, 1, "hq"},
                    TCloseKeyCase{"alt_y_is_ok", IDX_CHECKBOX1, WM_SYSCHAR, L'y', kAltDown, "hd"},
                    TCloseKeyCase{"alt_n_is_cancel", IDE_EDIT1, WM_SYSCHAR, L'n', kAltDown, "hq"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainWindow, EscapeInACellEditorCancelsTheEditNotTheRun) {
  TypeIntoCell(3, 3, L"500");
  Key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(window_->Closed());
  EXPECT_FALSE(window_->Grid()->Editing());
  EXPECT_EQ(window_->GridCell(3, 3), "-1");
}

TEST_F(MainWindow, EnterInACellEditorCommitsWithoutPressingOk) {
  TypeIntoCell(3, 3, L"500");
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_FALSE(window_->Closed());
  EXPECT_EQ(window_->GridCell(3, 3), "500");
  EXPECT_EQ(window_->Grid()->Model().CurRow(), 4);
}

// ---- buttons and files ----

TEST_F(MainWindow, CancelAnswersHqAndWritesNoPresets) {
  Click(IDB_BUTTON2);
  EXPECT_TRUE(window_->Closed());
  EXPECT_EQ(Answer(), "hq\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "t905.dat"));
}

TEST_F(MainWindow, CloseBoxAndTaskBarCloseDoWhatCancelDoes) {
  SendMessageW(window_->Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_TRUE(window_->Closed());
  EXPECT_EQ(Answer(), "hq\r\n");

  WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);
  Open();
  SendMessageW(window_->AppHwnd(), WM_CLOSE, 0, 0);  // "Close window" on the task bar button
  Pump();
  EXPECT_TRUE(window_->Closed());
  EXPECT_FALSE(IsWindow(window_->Hwnd()));
  EXPECT_EQ(Answer(), "hq\r\n");
}

TEST_F(MainWindow, MinimiseHidesTheWindowWithItsTaskBarButtonAndRestoreBringsItBack) {
  SendMessageW(window_->Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_TRUE(IsIconic(window_->AppHwnd()));
  EXPECT_FALSE(IsWindowVisible(window_->Hwnd()));
  SendMessageW(window_->AppHwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_FALSE(IsIconic(window_->AppHwnd()));
  EXPECT_TRUE(IsWindowVisible(window_->Hwnd()));
  EXPECT_FALSE(window_->Closed());
}

TEST_F(MainWindow, OkConvertsWithTheCellStillBeingEdited) {
  TypeIntoCell(1, 1, L"55");  // group 0, layer 0; the editor stays open
  Click(IDX_CHECKBOX1);
  Click(IDB_BUTTON1);
  ASSERT_TRUE(window_->Closed());
  const std::string answer = Answer();
  EXPECT_EQ(answer.rfind("hd\r\n", 0), 0u);
  EXPECT_TRUE(Contains(answer, "lw55\r\n0 0 100 0\r\n")) << answer;
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(dir_ / "t905.dat", model, controls);
  EXPECT_EQ(model.Table(1).Widths[0], 55);
  EXPECT_TRUE(controls.CheckBox1);
  EXPECT_FALSE(controls.CheckBox3);
  EXPECT_EQ(model.CurrentTab, 1);
}

TEST_F(MainWindow, OkRemembersTabAndPositionForTheNextRun) {
  window_->MoveWindowTo(40, 30);
  ClickTab(4);
  TypeIntoCell(3, 2, L"35");  // group 1, layer 2
  Click(IDB_BUTTON1);
  ASSERT_TRUE(window_->Closed());
  EXPECT_TRUE(Contains(Answer(), "lw35\r\nci 50 50 20\r\n")) << Answer();

  WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);
  Open();
  EXPECT_EQ(window_->TabIndex(), 4);
  EXPECT_EQ(window_->GridCell(3, 2), "35");
  EXPECT_EQ(window_->WindowLeft(), 40);
  EXPECT_EQ(window_->WindowTop(), 30);
}

TEST_F(MainWindow, SavedPositionOnNoScreenIsBroughtBackButAPartlyVisibleOneStays) {
  window_->MoveWindowTo(-5000, 4000);
  RECT rc{};
  GetWindowRect(window_->Hwnd(), &rc);
  EXPECT_NE(MonitorFromRect(&rc, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_GE(window_->WindowLeft(), 0);

  window_->MoveWindowTo(-100, 20);
  EXPECT_EQ(window_->WindowLeft(), -100);
  EXPECT_EQ(window_->WindowTop(), 20);
}

TEST_F(MainWindow, TabSwitchStoresTheTableLeftAndShowsTheNewOne) {
  TypeIntoCell(2, 2, L"abc");
  ClickTab(1);
  EXPECT_EQ(window_->TabIndex(), 1);
  EXPECT_EQ(window_->GridCell(2, 2), "-1");
  TypeIntoCell(2, 2, L"30001");
  ClickTab(0);
  EXPECT_EQ(window_->GridCell(2, 2), "0");  // "abc" was stored as 0
  SwitchTabByNotify(1);
  EXPECT_EQ(window_->GridCell(2, 2), "-1");  // 30001 was stored as -1
}

TEST_F(MainWindow, SelectingATabFromCodeRaisesNoTabEvents) {
  TypeIntoCell(2, 2, L"12");
  window_->SelectTabSilently(6);
  Pump();
  EXPECT_EQ(window_->TabIndex(), 6);
  EXPECT_EQ(window_->GridCell(2, 2), "12");  // no table was shown in its place
}

struct TClearCase {
  const char* name;
  int button;
  bool yes;
  const char* cell;  // afterwards, from "7"
  const char* comment;
};

class MainWindowClear : public MainWindow, public testing::WithParamInterface<TClearCase> {};

TEST_P(MainWindowClear, AsksThenFillsEveryDataCell) {
  const TClearCase& c = GetParam();
  window_->SetEdit1Text("memo");
  window_->SetGridCell(16, 16, "7");
  window_->SetGridCell(1, 1, "7");
  window_->answers.push_back(c.yes);
  Click(c.button);
  ASSERT_EQ(window_->questions.size(), 1u);
  EXPECT_EQ(window_->questions[0], c.button == IDB_BUTTON3 ? kConfirmAllMinus1 : kConfirmAllZero);
  EXPECT_EQ(window_->GridCell(16, 16), c.cell);
  EXPECT_EQ(window_->GridCell(1, 1), c.cell);
  EXPECT_EQ(window_->GridCell(0, 1), "0");  // headers stay
  EXPECT_EQ(window_->Edit1Text(), c.comment);
  EXPECT_FALSE(window_->Closed());
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowClear,
                         testing::Values(TClearCase{"all_minus1_yes", IDB_BUTTON3, true, "-1", ""},
                                         TClearCase{"all_minus1_no", IDB_BUTTON3, false, "7", "memo"},
                                         TClearCase{"all_zero_yes", IDB_BUTTON5, true, "0", ""},
                                         TClearCase{"all_zero_no", IDB_BUTTON5, false, "7", "memo"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainWindow, ImportFillsTheRowOfTheNamedGroup) {
  WriteFileBytes(dir_ / "env.jwf", "LAYWID_3 = 25 35 -1 -2 50\r\n");
  window_->chosenFile = dir_ / "env.jwf";
  Click(IDB_BUTTON4);
  ASSERT_EQ(window_->dialogs.size(), 1u);
  EXPECT_EQ(window_->dialogs[0].title, kOpenDialogTitle);
  EXPECT_EQ(window_->GridCell(1, 4), "25");
  EXPECT_EQ(window_->GridCell(4, 4), "-1");
  EXPECT_EQ(window_->GridCell(5, 4), "50");
  EXPECT_EQ(window_->GridCell(6, 4), "-1");
}

TEST_F(MainWindow, CommentKeepsBytesTheEditCannotShow) {
  // A lead byte with no second byte is no CP932 character; unchanged, it goes back as it came.
  const std::string odd = "a\x81";
  window_->SetEdit1Text(odd);
  EXPECT_EQ(window_->Edit1Text(), odd);
  SetWindowTextW(Control(IDE_EDIT1), L"b");
  EXPECT_EQ(window_->Edit1Text(), "b");
}

TEST_F(MainWindow, StatusLineShowsItsText) {
  window_->SetStatusText(kStatusConverting);
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), SjisToWide(kStatusConverting));
  const auto style = GetWindowLongPtrW(Control(IDT_LABELA1), GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
  EXPECT_TRUE(style & SS_CENTERIMAGE);
}

// ---- what the selection holds ----

// The idle line for the drawing: selected, converted by OK, used layers.
std::wstring IdleLine(int selected, int converted, int layers) {
  // 選択 n 件　OKで変換 m 件　使用レイヤ k
  return L"\x9078\x629E " + std::to_wstring(selected) + L" \x4EF6\x3000OK\x3067\x5909\x63DB " +
         std::to_wstring(converted) + L" \x4EF6\x3000\x4F7F\x7528\x30EC\x30A4\x30E4 " + std::to_wstring(layers);
}

TEST_F(MainWindow, IdleLineSumsUpTheSelectionAndFollowsTypingAndTicks) {
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), IdleLine(2, 0, 2));
  TypeIntoCell(1, 1, L"55");  // the line's layer; counted while the editor is still open
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), IdleLine(2, 1, 2));
  EXPECT_EQ(window_->Grid()->Use(1, 1), TCellUse::Converts);
  EXPECT_EQ(window_->Grid()->Use(3, 2), TCellUse::Untouched);
  EXPECT_EQ(window_->Grid()->Use(0, 1), TCellUse::Converts);

  ReopenOn("hq\r\nlg0\r\nly0\r\npt 1 1\r\n");
  TypeIntoCell(1, 1, L"5");
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), IdleLine(1, 0, 1));
  Click(IDX_CHECKBOX1);  // points
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), IdleLine(1, 1, 1));
  EXPECT_EQ(window_->Grid()->Use(1, 1), TCellUse::Converts);
  ClickTab(2);  // a table of -1
  EXPECT_EQ(TextOf(Control(IDT_LABELA1)), IdleLine(1, 0, 1));
}

class MainWindowTint : public MainWindow {
 protected:
  COLORREF PixelInCell(int col, int row) {
    TStringGrid* grid = window_->Grid();
    RedrawWindow(grid->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT r = grid->Model().CellRect(col, row, grid->Dpi());
    const HDC dc = GetDC(grid->Hwnd());
    const COLORREF pixel = GetPixel(dc, r.right - 4, r.bottom - 4);  // clear of the text
    ReleaseDC(grid->Hwnd(), dc);
    return pixel;
  }
};

TEST_F(MainWindowTint, UsedCellsShowWhetherOkConvertsThem) {
  window_->Grid()->SelectCell(6, 6);  // the current cell is drawn apart
  EXPECT_EQ(PixelInCell(3, 2), layout::kUsedUntouchedColour);  // the circle, width -1
  EXPECT_EQ(PixelInCell(5, 5), layout::kFormColour);           // nothing there
  TypeIntoCell(3, 2, L"35");
  Key(WM_KEYDOWN, VK_RETURN);  // commits and moves down
  EXPECT_EQ(PixelInCell(3, 2), layout::kUsedConvertsColour);
  EXPECT_EQ(PixelInCell(5, 5), layout::kFormColour);
}

TEST_F(MainWindow, TooltipNamesTheLayerAndCountsWhatItHolds) {
  ReopenOn("hq\r\nlg1\r\nlgnwall\r\nly2\r\nlynkey\r\nci 50 50 20\r\n0 0 1 1\r\n");
  TypeIntoCell(3, 2, L"25");
  TStringGrid* grid = window_->Grid();
  const RECT r = grid->Model().CellRect(3, 2, grid->Dpi());
  SendMessageW(grid->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 2, r.top + 2));
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = grid->Tooltip();
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(grid->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_NE(info.lpszText, nullptr);
  // レイヤグループ 1「wall」　レイヤ 2「key」 / 線 1　円 1 / OKで変換 2 件　線幅 25 (0.25 mm)
  EXPECT_EQ(std::wstring(info.lpszText),
            L"\x30EC\x30A4\x30E4\x30B0\x30EB\x30FC\x30D7 1\x300Cwall\x300D\x3000\x30EC\x30A4\x30E4 "
            L"2\x300Ckey\x300D\r\n\x7DDA 1\x3000\x5186 1\r\nOK\x3067\x5909\x63DB 2 \x4EF6\x3000\x7DDA\x5E45 25 "
            L"(0.25 mm)");
}

TEST_F(MainWindow, OpeningScrollsToTheSelectionWhenNoUsedCellShows) {
  const TGridModel& model = window_->Grid()->Model();
  EXPECT_EQ(model.LeftCol(), 1);  // 0-0 is in view already
  EXPECT_EQ(model.TopRow(), 1);
  ReopenOn("hq\r\nlgE\r\nlyD\r\n0 0 1 1\r\nlgF\r\nlyF\r\n0 0 1 1\r\n");
  RECT client{};
  GetClientRect(window_->Grid()->Hwnd(), &client);
  const RECT cell = window_->Grid()->Model().CellRect(14, 15, window_->Dpi());
  EXPECT_GT(cell.right, cell.left);
  EXPECT_LE(cell.right, client.right);
  EXPECT_LE(cell.bottom, client.bottom);
}

// ---- paths ----

struct TPathCase {
  const char* name;
  const wchar_t* path;
  const char* text;  // Shift-JIS
};

class MainWindowPathText : public testing::TestWithParam<TPathCase> {};

// The dialog folder travels through the preset file as Shift-JIS text.
TEST_P(MainWindowPathText, ConvertsThroughCodePage932BothWays) {
  const TPathCase& c = GetParam();
  TMainWindow window(GetModuleHandleW(nullptr), TMainWindow::TOptions{});
  EXPECT_EQ(window.PathToText(c.path), c.text);
  EXPECT_EQ(window.TextToPath(c.text).native(), std::wstring(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainWindowPathText,
    testing::Values(TPathCase{"ascii", L"C:\\jww\\tools", "C:\\jww\\tools"},
                    TPathCase{"japanese_folder", L"C:\\\u56F3\u9762\\a b", "C:\\\x90\x7D\x96\xCA\\a b"},  // 図面
                    TPathCase{"second_byte_is_backslash", L"D:\\\u8868", "D:\\\x95\x5C"},  // 表
                    TPathCase{"empty", L"", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MainWindowExecutable, WithoutATestPathItIsTheRunningProgram) {
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  TMainWindow window(GetModuleHandleW(nullptr), TMainWindow::TOptions{});
  EXPECT_EQ(window.ExecutablePath().native(), std::wstring(own));
  EXPECT_EQ(window.Form().PresetPath().filename(), std::filesystem::path(own).stem().native() + L".dat");
}

// ---- the real message boxes ----

// Finds the process's visible dialog box with that caption and acts on it from
// another thread while the test's thread sits in the box's modal loop.
class TBoxRobot {
 public:
  // The action returns what it read from the box.
  using TAction = std::function<std::wstring(HWND)>;
  TBoxRobot(std::wstring caption, TAction action)
      : caption_(std::move(caption)), thread_([this, act = std::move(action)] { Run(act); }) {}
  // Posts a key to a message box, after reading its message text.
  TBoxRobot(std::wstring caption, UINT message, WPARAM key)
      : TBoxRobot(std::move(caption), [message, key](HWND box) {
          std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
          PostMessageW(box, message, key, 1);
          return text;
        }) {}
  ~TBoxRobot() { Wait(); }
  // What the robot saw. The box may close (and its caller return) before the robot has stored
  // what its action read, so these wait for the robot to end first.
  std::wstring Text() {
    Wait();
    return text_;
  }
  bool Found() {
    Wait();
    return found_;
  }

 private:
  struct TSearch {
    const std::wstring* caption;
    HWND found;
  };
  static BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770" &&
        TextOf(hwnd) == *search->caption) {
      search->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  // A loaded machine can take seconds to show the first common dialog of a process: a robot that
  // gave up early would leave the box open and the test hanging.
  void Run(const TAction& action) {
    for (int i = 0; i < 1200; ++i) {
      TSearch search{&caption_, nullptr};
      EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
      if (search.found) {
        text_ = action(search.found);
        found_ = true;
        return;
      }
      Sleep(25);
    }
  }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }
  std::wstring caption_;
  std::wstring text_;
  bool found_ = false;
  std::thread thread_;
};

bool DialogOfThisProcessShown() {
  bool shown = false;
  EnumWindows(
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || std::wstring(cls) != L"#32770") return TRUE;
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

struct TAnswerCase {
  const char* name;
  WPARAM key;
  bool yes;
};

class MainWindowYesNoBox : public MainWindow, public testing::WithParamInterface<TAnswerCase> {};

TEST_P(MainWindowYesNoBox, KeyAnswersTheQuestion) {
  const TAnswerCase& c = GetParam();
  bool answer = !c.yes;
  {
    TBoxRobot robot(SjisToWide(kAppTitle), WM_KEYDOWN, c.key);
    answer = window_->TMainWindow::ConfirmYesNo("question?");
  }
  EXPECT_EQ(answer, c.yes);
  EXPECT_TRUE(IsWindowEnabled(window_->Hwnd()));  // the box gave its owner back at once
  EXPECT_FALSE(DialogOfThisProcessShown());
  // The window takes the keys again once the activation the box handed back has come through.
  // Without a window manager Wine may instead see the display's focus go to no window at all and
  // make the desktop the foreground; then nothing of ours is active, and a click activates the window.
  ASSERT_TRUE(PumpUntil([&] {
    return GetActiveWindow() == window_->Hwnd() || GetForegroundWindow() == GetDesktopWindow();
  })) << "active: " << GetActiveWindow() << ", foreground: " << GetForegroundWindow();

}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowYesNoBox,
                         testing::Values(TAnswerCase{"enter_is_yes", VK_RETURN, true},
                                         TAnswerCase{"escape_is_no", VK_ESCAPE, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainWindow, MessageBoxIsCaptionedWithTheApplicationTitle) {
  TBoxRobot robot(SjisToWide(kAppTitle), WM_KEYDOWN, VK_RETURN);
  window_->TMainWindow::ShowMessage(kWrongExtensionMessage);
  ASSERT_TRUE(robot.Found());
  EXPECT_EQ(robot.Text(), SjisToWide(kWrongExtensionMessage));
}

}  // namespace

namespace {

struct TOpenCase {
  const char* name;
  bool choose;  // pick the file, or cancel
};

class MainWindowOpenDialog : public MainWindow, public testing::WithParamInterface<TOpenCase> {};

TEST_P(MainWindowOpenDialog, ReturnsTheChosenFileOrNothing) {
  const TOpenCase& c = GetParam();
  WriteFileBytes(dir_ / "env.jwf", "LAYWID_0=1\r\n");
  const std::wstring file = (dir_ / "env.jwf").native();
  TOpenDialogSpec spec{kOpenDialogTitle, kOpenDialogFilterName, kOpenDialogFilterPattern, kOpenDialogDefaultExt,
                       window_->PathToText(dir_.path())};
  std::optional<std::filesystem::path> chosen;
  std::wstring filter;
  {
    TBoxRobot robot(SjisToWide(kOpenDialogTitle), [&](HWND box) {
      // The dialog can be visible before its file-type list is filled; read it once it is.
      const int fileTypeList = 0x470;
      std::wstring shown;
      for (int i = 0; i < 200 && shown.empty(); ++i) {
        shown = TextOf(GetDlgItem(box, fileTypeList));
        if (shown.empty()) Sleep(25);
      }
      if (c.choose) {
        HWND name = GetDlgItem(box, 0x480);  // edt1, or the combo box cmb13 on newer systems
        if (!name) name = GetDlgItem(box, 0x47C);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      } else {
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      }
      return shown;
    });
    chosen = window_->TMainWindow::RunOpenDialog(spec);
    filter = robot.Text();
    EXPECT_TRUE(robot.Found()) << "the open dialog was not seen";
  }
  EXPECT_EQ(filter, SjisToWide(kOpenDialogFilterName));
  if (!c.choose) {
    EXPECT_FALSE(chosen.has_value());
    return;
  }
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(std::filesystem::equivalent(*chosen, dir_ / "env.jwf")) << chosen->string();
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowOpenDialog,
                         testing::Values(TOpenCase{"cancel", false}, TOpenCase{"choose", true}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
