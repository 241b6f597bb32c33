// The real t905.exe, started the way the host starts it and used the way a person uses
// it: in a folder of its own (blanks and Japanese in the name), from another working
// folder, driven through its window from this separate process. Each case checks the
// answer and the preset file that the run leaves beside the program.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_texts.h"
#include "tests/win32/window_harness_driver.h"

namespace fs = std::filesystem;
using harness::Widen;

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 30000;

std::string ReadAll(const fs::path& file) {
  std::string bytes;
  FILE* f = _wfopen(file.c_str(), L"rb");
  if (f == nullptr) return "<missing>";
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  std::fclose(f);
  return bytes;
}

bool WriteAll(const fs::path& file, std::string_view bytes) {
  FILE* f = _wfopen(file.c_str(), L"wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

fs::path DataFile(std::string_view name) { return fs::path(T905_HARNESS_DATA) / name; }

std::vector<std::string> Lines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Indexes into a preset file's lines (from 0): four header lines, then per table its
// comment and its 256 widths in layer-index order (group × 16 + layer).
size_t WidthLine(int table, int group, int layer) {
  return static_cast<size_t>(4 + 257 * (table - 1) + 1 + group * 16 + layer);
}
size_t CommentLine(int table) { return static_cast<size_t>(4 + 257 * (table - 1)); }

// The file name box of the open dialog: an edit (edt1), or the edit inside a combo box
// (cmb13), as the system's dialog template has it.
HWND FileNameBox(HWND dialog) {
  for (int id : {0x480, 0x47C}) {
    HWND box = GetDlgItem(dialog, id);
    if (box == nullptr) continue;
    HWND inner = harness::FindChildOfClass(box, L"Edit");
    return inner != nullptr ? inner : box;
  }
  return nullptr;
}

// Client-area corners of the controls, in 96-DPI pixels, as the window lays them out.
struct ControlSpot {
  int x;
  int y;
  const wchar_t* windowClass;
};
constexpr ControlSpot kOk{328, 216, L"Button"};
constexpr ControlSpot kCancel{328, 256, L"Button"};
constexpr ControlSpot kAllMinus1{128, 44, L"Button"};
constexpr ControlSpot kAllZero{184, 44, L"Button"};
constexpr ControlSpot kImport{240, 44, L"Button"};
constexpr ControlSpot kComment{64, 24, L"Edit"};
constexpr ControlSpot kGrid{24, 64, L""};
constexpr ControlSpot kTabs{0, 0, L"SysTabControl32"};
constexpr ControlSpot kPoints{8, 264, L"Button"};
constexpr ControlSpot kDims{56, 264, L"Button"};
constexpr ControlSpot kSolids{136, 264, L"Button"};
constexpr ControlSpot kStatus{0, 287, L"Static"};

// One run of the tool in a fresh folder.
class WindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name_) {
      if (c == '/') c = '_';
    }
    base_ = fs::temp_directory_path() / (L"t905 harness " + std::to_wstring(GetCurrentProcessId()) +
                                         L" " + std::to_wstring(GetTickCount64()));
    // The host's folder may hold blanks and Japanese: "ツール 置き場".
    folder_ = base_ / L"\x30C4\x30FC\x30EB \x7F6E\x304D\x5834";
    elsewhere_ = base_ / L"elsewhere";
    fs::create_directories(folder_);
    fs::create_directories(elsewhere_);
    tool_ = folder_ / L"t905.exe";
    fs::copy_file(fs::path(T905_HARNESS_TOOL), tool_);
    // Files of the same names in the working folder must stay untouched.
    ASSERT_TRUE(WriteAll(elsewhere_ / L"JWC_TEMP.TXT", kDecoy));
    ASSERT_TRUE(WriteAll(elsewhere_ / L"t905.dat", kDecoy));
  }

  void TearDown() override {
    EXPECT_EQ(ReadAll(elsewhere_ / L"JWC_TEMP.TXT"), kDecoy) << "the working folder was written";
    EXPECT_EQ(ReadAll(elsewhere_ / L"t905.dat"), kDecoy) << "the working folder was written";
    process_.reset();
    std::error_code ignored;
    if (!HasFailure()) fs::remove_all(base_, ignored);
  }

  void PutDrawing(std::string_view dataName) {
    ASSERT_TRUE(fs::copy_file(DataFile(dataName), folder_ / L"JWC_TEMP.TXT"));
  }
  void PutPresets(std::string_view dataName) {
    ASSERT_TRUE(fs::copy_file(DataFile(dataName), folder_ / L"t905.dat"));
  }

  // Starts the tool (directly, or through the shipped batch file as the host does) and
  // waits for its window.
  void Launch(bool throughBatch = false) {
    process_ = std::make_unique<harness::ToolProcess>();
    if (throughBatch) {
      ASSERT_TRUE(process_->StartBatch(folder_ / L"t905.bat", tool_, elsewhere_));
    } else {
      ASSERT_TRUE(process_->Start(tool_, elsewhere_)) << "cannot start t905.exe";
    }
    main_ = process_->WaitForMainWindow(Widen(kWindowCaption), kStartTimeoutMs);
    ASSERT_NE(main_, nullptr) << "no window captioned with the caption text";
    process_->WaitIdle(kStartTimeoutMs);
  }

  HWND Control(const ControlSpot& spot) {
    HWND control = harness::ControlAt(main_, spot.x, spot.y, spot.windowClass);
    EXPECT_NE(control, nullptr) << "no control at " << spot.x << "," << spot.y;
    return control;
  }

  // A click handled before the harness goes on.
  void Click(const ControlSpot& spot) {
    HWND control = Control(spot);
    if (control != nullptr) harness::SendClick(control);
  }
  // A click that opens a modal box or ends the run: the harness waits for that instead.
  void ClickOpening(const ControlSpot& spot) {
    HWND control = Control(spot);
    if (control != nullptr) harness::PostClick(control);
  }

  // The confirmation or message box that a click opened: checks its text, answers it.
  void AnswerBox(std::string_view expectedText, int answerId) {
    HWND box = process_->WaitForDialog(Widen(kAppTitle), 10000);
    ASSERT_NE(box, nullptr) << "no message box captioned with the application title";
    bool textFound = false;
    for (const auto& text : harness::ChildTexts(box, L"Static")) {
      if (text == Widen(expectedText)) textFound = true;
    }
    EXPECT_TRUE(textFound) << "the box does not show the expected message";
    harness::PaintNow(box);
    EXPECT_TRUE(harness::SaveWindowPng(box, ScreenshotDir() / (name_ + ".box.png")));
    HWND button = GetDlgItem(box, answerId);
    ASSERT_NE(button, nullptr);
    harness::PostClick(button);
    for (int i = 0; i < 750 && IsWindow(box); ++i) Sleep(20);
    ASSERT_FALSE(IsWindow(box));
  }

  // Types into a data cell (column = layer + 1, row = group + 1) through the in-place
  // editor that a click on the cell opens; the cell must lie in the unscrolled view.
  void TypeIntoCell(int col, int row, std::wstring_view text) {
    HWND grid = Control(kGrid);
    if (grid == nullptr) return;
    const int dpi = harness::ScreenDpi();
    // Header column 24 and data columns 40 wide, rows 19 high, each plus a grid line.
    const int x = MulDiv(25 + (col - 1) * 41 + 20, dpi, 96);
    const int y = MulDiv(20 + (row - 1) * 20 + 10, dpi, 96);
    harness::SendMouseClick(grid, x, y);
    HWND editor = harness::FindChildOfClass(grid, L"Edit");
    ASSERT_NE(editor, nullptr) << "a click on a cell opened no editor";
    ASSERT_TRUE(IsWindowVisible(editor));
    harness::SetText(editor, text);
    harness::SendKey(editor, VK_RETURN);
  }

  // The client point of a data cell's middle in the unscrolled view.
  static LPARAM CellPoint(int col, int row) {
    const int dpi = harness::ScreenDpi();
    return MAKELPARAM(MulDiv(25 + (col - 1) * 41 + 20, dpi, 96), MulDiv(20 + (row - 1) * 20 + 10, dpi, 96));
  }

  // A drag with the left button from one data cell to another.
  void DragCells(int fromCol, int fromRow, int toCol, int toRow) {
    HWND grid = Control(kGrid);
    if (grid == nullptr) return;
    harness::Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(fromCol, fromRow));
    harness::Send(grid, WM_MOUSEMOVE, MK_LBUTTON, CellPoint(toCol, toRow));
    harness::Send(grid, WM_LBUTTONUP, 0, CellPoint(toCol, toRow));
  }

  // Ctrl and a key as the keyboard gives them to the window with the focus, so the
  // tool reads Ctrl from its own key state; then waits until the tool has acted.
  void CtrlKey(WORD key) {
    INPUT inputs[4]{};
    for (auto& input : inputs) input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_CONTROL;
    inputs[1].ki.wVk = key;
    inputs[2].ki.wVk = key;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = VK_CONTROL;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
    Sleep(300);
    process_->WaitIdle(5000);
  }

  // Moves the tab strip's selection by the arrow keys, as a user does with the focus on
  // it; the strip itself raises the changing and changed notifications.
  void StepTabs(int steps) {
    HWND tabs = Control(kTabs);
    if (tabs == nullptr) return;
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
      harness::SendKey(tabs, steps < 0 ? VK_LEFT : VK_RIGHT);
    }
  }

  static fs::path ScreenshotDir() {
    fs::path dir(T905_HARNESS_SCREENSHOTS);
    std::error_code ignored;
    fs::create_directories(dir, ignored);
    return dir;
  }

  // A picture of the window as it stands, for a person to look at.
  void Screenshot() {
    harness::PaintNow(main_);
    EXPECT_TRUE(harness::SaveWindowPng(main_, ScreenshotDir() / (name_ + ".png")))
        << "no screenshot";
  }

  // Waits for the tool to end by itself and checks that it ended cleanly.
  void ExpectExit() {
    DWORD code = 0;
    ASSERT_TRUE(process_->WaitForExit(kExitTimeoutMs, code)) << "t905.exe did not end";
    EXPECT_EQ(code, 0u);
  }

  std::string Answer() const { return ReadAll(folder_ / L"JWC_TEMP.TXT"); }
  std::string Presets() const { return ReadAll(folder_ / L"t905.dat"); }
  // The folder as the preset file writes it: Shift-JIS, with the trailing separator.
  std::string FolderText() const { return harness::Narrow(folder_.wstring() + L"\\"); }

  static constexpr std::string_view kDecoy = "decoy: the tool must not touch this\r\n";

  std::string name_;
  fs::path base_;
  fs::path folder_;
  fs::path elsewhere_;
  fs::path tool_;
  std::unique_ptr<harness::ToolProcess> process_;
  HWND main_ = nullptr;
};

// Every way of leaving without OK answers "hq" and leaves the preset file as it was.
enum class Leave { CancelButton, CloseBox, EscapeKey, AltN };

class LeaveWithoutOk : public WindowRun, public ::testing::WithParamInterface<Leave> {
 protected:
  void LeaveNow() {
    switch (GetParam()) {
      case Leave::CancelButton: ClickOpening(kCancel); break;
      case Leave::CloseBox: PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0); break;
      case Leave::EscapeKey: harness::PostKey(main_, VK_ESCAPE); break;
      // Alt held: bit 29 of a system character message.
      case Leave::AltN: PostMessageW(main_, WM_SYSCHAR, L'n', static_cast<LPARAM>(1u << 29)); break;
    }
  }
};

TEST_P(LeaveWithoutOk, AnswersHqAndKeepsThePresetFile) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  ASSERT_NO_FATAL_FAILURE(Launch());
  // Changes made before leaving must be lost with the run.
  Click(kPoints);
  ClickOpening(kAllZero);
  AnswerBox(kConfirmAllZero, IDYES);
  Screenshot();
  LeaveNow();
  ExpectExit();
  EXPECT_EQ(Answer(), "hq\r\n");
  EXPECT_EQ(Presets(), ReadAll(DataFile("presets_seed.dat")));
}

const char* LeaveText(Leave leave) {
  constexpr const char* kNames[] = {"CancelButton", "CloseBox", "EscapeKey", "AltN"};
  return kNames[static_cast<int>(leave)];
}
void PrintTo(Leave leave, std::ostream* out) { *out << LeaveText(leave); }
std::string LeaveName(const ::testing::TestParamInfo<Leave>& param) { return LeaveText(param.param); }

INSTANTIATE_TEST_SUITE_P(Ways, LeaveWithoutOk,
                         ::testing::Values(Leave::CancelButton, Leave::CloseBox, Leave::EscapeKey,
                                           Leave::AltN),
                         LeaveName);

TEST_F(WindowRun, FirstRunWithoutPresetFileAnswersTheWholeDrawingAndCreatesThePresetFile) {
  PutDrawing("drawing.txt");
  ASSERT_NO_FATAL_FAILURE(Launch());
  RECT rect{};
  GetWindowRect(main_, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  Screenshot();
  ClickOpening(kOk);
  ExpectExit();
  EXPECT_EQ(Answer(), ReadAll(DataFile("answer_unchanged.txt")));
  EXPECT_EQ(Presets(), ReadAll(DataFile("presets_first_run.dat")));
}

// The host runs the shipped batch file from its own folder and reads the answer as soon
// as the batch file ends: the file must run the tool from its own folder and wait for it.
TEST_F(WindowRun, ShippedBatchFileRunsTheToolAndWaitsForIt) {
  PutDrawing("drawing.txt");
  ASSERT_TRUE(fs::copy_file(fs::path(T905_HARNESS_PACKAGING) / "t905.bat", folder_ / L"t905.bat"));
  ASSERT_NO_FATAL_FAILURE(Launch(true));
  EXPECT_TRUE(process_->Running()) << "the batch file ended before the tool";
  ClickOpening(kOk);
  ExpectExit();
  EXPECT_EQ(Answer(), ReadAll(DataFile("answer_unchanged.txt")));
}

TEST_F(WindowRun, EditsOnTheScreenAreConvertedWithAndSaved) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  ASSERT_NO_FATAL_FAILURE(Launch());
  // Tab 2 is the one in use. Group 0 layer 0 gets 200; layer 1 "abc" (reads 0);
  // group 1 layer 2 " 7"; group 1 layer 0 "30001" (out of range: unchanged).
  TypeIntoCell(1, 1, L"200");
  TypeIntoCell(2, 1, L"abc");
  TypeIntoCell(3, 2, L" 7");
  TypeIntoCell(1, 2, L"30001");
  // "太線" as the comment.
  HWND comment = Control(kComment);
  ASSERT_NE(comment, nullptr);
  harness::SetText(comment, L"\x592A\x7DDA");
  // Away to tab 3 and back: the edits are stored and shown again.
  StepTabs(1);
  StepTabs(-1);
  Click(kPoints);
  Click(kSolids);
  // The position at the moment of OK is what the next run opens at.
  SetWindowPos(main_, nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Screenshot();
  ClickOpening(kOk);
  ExpectExit();
  EXPECT_EQ(Answer(), ReadAll(DataFile("answer_edited.txt")));
  EXPECT_EQ(Presets(), ReadAll(DataFile("presets_edited.dat")));

  // The next run opens where OK left the window, on the table in use, with its comment.
  ASSERT_NO_FATAL_FAILURE(Launch());
  RECT rect{};
  GetWindowRect(main_, &rect);
  EXPECT_EQ(rect.left, 123);
  EXPECT_EQ(rect.top, 45);
  EXPECT_EQ(harness::Send(Control(kTabs), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(harness::WindowText(Control(kComment)), L"\x592A\x7DDA");
  ClickOpening(kCancel);
  ExpectExit();
}

TEST_F(WindowRun, ClearingAsksFirstAndNoKeepsTheScreen) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  ASSERT_NO_FATAL_FAILURE(Launch());
  ClickOpening(kAllMinus1);
  AnswerBox(kConfirmAllMinus1, IDNO);
  // Unchanged after No: table 2 reaches the file as it was loaded.
  StepTabs(1);  // table 3 shown
  ClickOpening(kAllZero);
  AnswerBox(kConfirmAllZero, IDYES);
  Screenshot();
  ClickOpening(kOk);
  ExpectExit();
  const auto lines = Lines(Presets());
  const auto seed = Lines(ReadAll(DataFile("presets_seed.dat")));
  ASSERT_EQ(lines.size(), 5148u);
  EXPECT_EQ(lines[3], "3") << "the tab in use";
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(lines[WidthLine(2, i / 16, i % 16)], seed[WidthLine(2, i / 16, i % 16)]) << i;
    EXPECT_EQ(lines[WidthLine(3, i / 16, i % 16)], "0") << i;
  }
  EXPECT_EQ(lines[CommentLine(2)], seed[CommentLine(2)]);
  EXPECT_EQ(lines[CommentLine(3)], "");
  // Table 3 with 0 everywhere sets the width of every line, circle and arc to 0.
  EXPECT_EQ(Answer(), ReadAll(DataFile("answer_all_zero.txt")));
}

TEST_F(WindowRun, ImportThroughTheOpenDialogFillsTheGrid) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  ASSERT_TRUE(fs::copy_file(DataFile("import.jwf"), folder_ / L"import.jwf"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  ClickOpening(kImport);
  HWND dialog = process_->WaitForDialog(Widen(kOpenDialogTitle), 10000);
  ASSERT_NE(dialog, nullptr) << "no open dialog with the import's title";
  // The file name box of the open dialog (an edit, or the edit inside a combo box).
  HWND name = FileNameBox(dialog);
  ASSERT_NE(name, nullptr) << "no file name box in the open dialog";
  harness::SetText(name, (folder_ / L"import.jwf").wstring());
  harness::PostClick(GetDlgItem(dialog, IDOK));
  for (int i = 0; i < 750 && IsWindow(dialog); ++i) Sleep(20);
  ASSERT_FALSE(IsWindow(dialog)) << "the open dialog stayed open";
  Screenshot();
  ClickOpening(kOk);
  ExpectExit();
  auto lines = Lines(Presets());
  ASSERT_EQ(lines.size(), 5148u);
  EXPECT_EQ(lines[2], FolderText()) << "the folder of the chosen file";
  // Group 0: 40 45 -1 -2 50 and -1 for the rest; group 1: 60 70; group F: 1..15 and
  // 30001, which is out of range and stored as -1.
  const int group0[16] = {40, 45, -1, -1, 50, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  for (int l = 0; l < 16; ++l) {
    EXPECT_EQ(lines[WidthLine(2, 0, l)], std::to_string(group0[l])) << "group 0 layer " << l;
    EXPECT_EQ(lines[WidthLine(2, 1, l)], std::to_string(l == 0 ? 60 : l == 1 ? 70 : -1))
        << "group 1 layer " << l;
    EXPECT_EQ(lines[WidthLine(2, 15, l)], std::to_string(l < 15 ? l + 1 : -1))
        << "group F layer " << l;
  }
  // Groups without a line keep their cells (group 2 was all -1 in the seed).
  EXPECT_EQ(lines[WidthLine(2, 2, 0)], "-1");
  EXPECT_EQ(lines[CommentLine(2)], Lines(ReadAll(DataFile("presets_seed.dat")))[CommentLine(2)]);
}

TEST_F(WindowRun, WrongExtensionInTheOpenDialogShowsTheMessage) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  ASSERT_TRUE(fs::copy_file(DataFile("import.jwf"), folder_ / L"import.txt"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  ClickOpening(kImport);
  HWND dialog = process_->WaitForDialog(Widen(kOpenDialogTitle), 10000);
  ASSERT_NE(dialog, nullptr);
  HWND name = FileNameBox(dialog);
  ASSERT_NE(name, nullptr);
  harness::SetText(name, (folder_ / L"import.txt").wstring());
  harness::PostClick(GetDlgItem(dialog, IDOK));
  AnswerBox(kWrongExtensionMessage, IDOK);
  ClickOpening(kCancel);
  ExpectExit();
  EXPECT_EQ(Answer(), "hq\r\n");
}

// A large drawing: Escape held while OK is pressed stops the walk at its first check.
// The answer then holds neither "hd" nor any entity, so the host changes nothing, and
// the presets were saved before the walk began.
TEST_F(WindowRun, EscapeHeldDuringTheWalkAbortsTheAnswer) {
  std::string drawing = "hq\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\nlw25\r\n";
  constexpr int kEntities = 300000;
  drawing.reserve(drawing.size() + kEntities * 24);
  for (int i = 0; i < kEntities; ++i) {
    drawing += std::to_string(i % 1000);
    drawing += " 0 ";
    drawing += std::to_string(i % 1000 + 1);
    drawing += " 10\r\n";
  }
  ASSERT_TRUE(WriteAll(folder_ / L"JWC_TEMP.TXT", drawing));
  PutPresets("presets_seed.dat");
  ASSERT_NO_FATAL_FAILURE(Launch());
  Click(kDims);
  Screenshot();
  {
    // OK first, then the key: held before, it would reach the idle window as its Cancel
    // key. It cannot be held from outside without the focus on the tool, since a
    // program sees the key state only while it is in the foreground.
    ClickOpening(kOk);
    harness::HeldKey escape(VK_ESCAPE);
    ExpectExit();
  }
  // Only the closing layer lines, or "hq" when they were not needed: no "hd", no entity.
  const auto lines = Lines(Answer());
  ASSERT_FALSE(lines.empty());
  for (const auto& line : lines) {
    EXPECT_TRUE(line == "hq" || line.rfind("lg", 0) == 0 || line.rfind("ly", 0) == 0)
        << "not a closing line: " << line;
  }
  EXPECT_LE(lines.size(), 2u);
  const auto presets = Lines(Presets());
  ASSERT_EQ(presets.size(), 5148u);
  EXPECT_EQ(presets[5145], "1") << "the dimension box was not saved";
}

// The tool's folder refuses the preset file (here: the file is read-only, as files copied
// under Program Files often are): OK must not end the run in silence. A box captioned with
// the application title names the file, the reason and where the tool belongs; then the
// run ends as always, with the answer written.
TEST_F(WindowRun, UnwritablePresetFileIsToldInABoxBeforeTheToolEnds) {
  PutDrawing("drawing.txt");
  PutPresets("presets_seed.dat");
  const fs::path presets = folder_ / L"t905.dat";
  ASSERT_TRUE(SetFileAttributesW(presets.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NO_FATAL_FAILURE(Launch());
  TypeIntoCell(1, 1, L"200");
  ClickOpening(kOk);

  HWND box = process_->WaitForDialog(Widen(kAppTitle), 10000);
  ASSERT_NE(box, nullptr) << "no message box captioned with the application title";
  std::wstring shown;
  for (const auto& text : harness::ChildTexts(box, L"Static")) shown += text;
  EXPECT_NE(shown.find(Widen(kSavePresetsFailed)), std::wstring::npos) << "no head line";
  // A long path is broken into lines between its names; joined again it is the file.
  std::wstring joined;
  for (wchar_t c : shown) {
    if (c != L'\r' && c != L'\n') joined += c;
  }
  EXPECT_NE(joined.find(presets.wstring()), std::wstring::npos) << "the file is not named";
  EXPECT_NE(shown.find(Widen(kFailedReasonLabel)), std::wstring::npos) << "no reason";
  // The advice names Program Files, and this folder is not under it.
  EXPECT_EQ(shown.find(Widen(kToolFolderAdvice)), std::wstring::npos) << "advice where it does not apply";
  EXPECT_EQ(shown.find(Widen(kWriteAnswerFailed)), std::wstring::npos) << "the answer was written";
  harness::PaintNow(box);
  EXPECT_TRUE(harness::SaveWindowPng(box, ScreenshotDir() / (name_ + ".box.png")));
  EXPECT_TRUE(process_->Running()) << "the tool must wait for the box";
  harness::PostClick(GetDlgItem(box, IDOK));
  ExpectExit();

  EXPECT_EQ(Presets(), ReadAll(DataFile("presets_seed.dat"))) << "the read-only file was replaced";
  EXPECT_NE(GetFileAttributesW(presets.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "no longer read-only";
  EXPECT_EQ(Answer().substr(0, 4), "hd\r\n") << "the conversion still counts";
  SetFileAttributesW(presets.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What a drafter sees on opening: the layers that hold the selection tinted, a
// tooltip naming the layer under the mouse, and the summary on the status line.
TEST_F(WindowRun, UsedLayersAreTintedAndExplainedWhileIdle) {
  PutDrawing("named_layers.txt");
  ASSERT_NO_FATAL_FAILURE(Launch());
  TypeIntoCell(2, 1, L"25");  // group 0, layer 1: a line and a circle
  // 選択 7 件　OKで変換 2 件　使用レイヤ 4
  EXPECT_EQ(harness::WindowText(Control(kStatus)),
            L"\x9078\x629E 7 \x4EF6\x3000OK\x3067\x5909\x63DB 2 \x4EF6\x3000\x4F7F\x7528\x30EC\x30A4\x30E4 4");

  HWND grid = Control(kGrid);
  ASSERT_NE(grid, nullptr);
  const int dpi = harness::ScreenDpi();
  const int x = MulDiv(25 + 41 + 20, dpi, 96);
  const int y = MulDiv(20 + 10, dpi, 96);
  // Two moves: the first tells the grid which cell is under the mouse, the second lets
  // the tooltip see the mouse resting on it. The X server passes a move on when it can,
  // so a loaded machine may lose the pair's effect: the pair is made again, within a bound.
  HWND tip = nullptr;
  for (int attempt = 0; attempt < 5 && tip == nullptr; ++attempt) {
    harness::MoveMouseTo(grid, x, y);
    process_->WaitIdle(2000);
    harness::MoveMouseTo(grid, x + 1, y);
    tip = harness::WaitForTooltip(main_, 3000);
  }
  ASSERT_NE(tip, nullptr) << "no tooltip over the cell";
  // レイヤグループ 0「一般図」　レイヤ 1「壁」 / 線 1　円 1 / OKで変換 2 件　線幅 25 (0.25 mm)
  EXPECT_EQ(harness::WindowText(tip),
            L"\x30EC\x30A4\x30E4\x30B0\x30EB\x30FC\x30D7 0\x300C\x4E00\x822C\x56F3\x300D\x3000"
            L"\x30EC\x30A4\x30E4 1\x300C\x58C1\x300D\r\n\x7DDA 1\x3000\x5186 1\r\n"
            L"OK\x3067\x5909\x63DB 2 \x4EF6\x3000\x7DDA\x5E45 25 (0.25 mm)");
  harness::PaintNow(tip);
  Screenshot();

  ClickOpening(kCancel);
  ExpectExit();
  EXPECT_EQ(Answer(), "hq\r\n");
}

// A range chosen by dragging, copied with Ctrl+C, pasted with Ctrl+V on another tab
// over a cell whose editor a click opened; Ctrl+Z then takes back only the typing done
// after it. OK saves both tables as they were left.
TEST_F(WindowRun, RangeDraggedCopiedToAnotherTabAndUndoneIsSavedAsLeft) {
  PutDrawing("named_layers.txt");
  PutPresets("presets_seed.dat");
  ASSERT_NO_FATAL_FAILURE(Launch());
  TypeIntoCell(1, 1, L"200");
  TypeIntoCell(2, 1, L"25");
  TypeIntoCell(1, 2, L"400");
  TypeIntoCell(2, 2, L"500");
  DragCells(1, 1, 2, 2);
  Screenshot();
  CtrlKey('C');
  StepTabs(1);
  HWND grid = Control(kGrid);
  ASSERT_NE(grid, nullptr);
  harness::SendMouseClick(grid, GET_X_LPARAM(CellPoint(3, 3)), GET_Y_LPARAM(CellPoint(3, 3)));
  CtrlKey('V');
  TypeIntoCell(5, 5, L"9");
  CtrlKey('Z');
  ClickOpening(kOk);
  ExpectExit();

  const auto seed = Lines(ReadAll(DataFile("presets_seed.dat")));
  const auto saved = Lines(Presets());
  ASSERT_EQ(saved.size(), 5148u);
  EXPECT_EQ(saved[3], "3") << "OK was pressed on tab 3";
  const struct {
    int table, col, row;
    std::string width;
  } cells[] = {{2, 1, 1, "200"}, {2, 2, 2, "500"},  {3, 3, 3, "200"}, {3, 4, 3, "25"},
               {3, 3, 4, "400"}, {3, 4, 4, "500"}, {3, 5, 5, seed[WidthLine(3, 4, 4)]}};
  for (const auto& c : cells) {
    EXPECT_EQ(saved[WidthLine(c.table, c.row - 1, c.col - 1)], c.width)
        << "table " << c.table << " cell " << c.col << "," << c.row;
  }
  EXPECT_EQ(saved[WidthLine(3, 1, 1)], seed[WidthLine(3, 1, 1)]) << "cells outside the paste kept";
}

}  // namespace
