// The preview pane in the real window: opened from its settings file beside
// the executable, the form growing to the right with its controls in place;
// a thick line measured on the screen before and after OK's widths, following
// a cell edit at once; the grid's hover and the pane's click; F4; and the
// settings written at close while the preset file stays as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/presets.h"
#include "app/preview_settings.h"
#include "app/win32/layout.h"
#include "app/win32/main_window.h"
#include "app/win32/preview_pane.h"
#include "app/win32/string_grid.h"
#include "tests/support/files.h"
#include "tests/win32/pump.h"

namespace {

// One black line of width 50 (0.5 mm) on group 0, layer 0, at 1/100, from
// (0, 0) to (1000, 0); a circle on layer 0-1 so the drawing has a height.
constexpr char kDrawing[] =
    "hq\r\nhs 100 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg0\r\nly0\r\nlc2\r\nlw50\r\n0 0 1000 0\r\nly1\r\nci 500 300 50\r\n";
constexpr double kZoom = 0.1;  // pixels per drawing unit: the line is 0.5 * 100 * 0.1 = 5 pixels wide

class TQuietWindow : public TMainWindow {
 public:
  using TMainWindow::TMainWindow;
  bool ConfirmYesNo(std::string_view) override { return false; }
  void ShowMessage(std::string_view) override {}
  bool IsEscapeDown() override { return false; }
};

class PreviewPane : public testing::Test {
 protected:
  void SetUp() override {
    WriteFiles();
    Open(TMainWindow::TOptions{}.previewInBackgroundFrom);
  }
  void WriteFiles() {
    WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);
    TPresetModel model;
    model.Table(1).Widths[0] = 150;  // layer 0-0: 1.5 mm after OK
    TPresetControls controls;
    ASSERT_TRUE(SavePresets(dir_ / "t905.dat", model, controls));
    presetBytes_ = ReadFileBytes(dir_ / "t905.dat");
    TPreviewSettings settings;
    settings.shown = true;
    settings.width = 400;
    ASSERT_TRUE(SavePreviewSettings(dir_ / "t905.view", settings));
  }
  // Opens the window, waits for the pane's drawing and puts the line's middle at a known zoom.
  void Open(std::size_t backgroundFrom) {
    TMainWindow::TOptions options;
    options.exePath = dir_ / "t905.exe";
    options.quitOnClose = false;
    options.previewInBackgroundFrom = backgroundFrom;
    window_ = std::make_unique<TQuietWindow>(GetModuleHandleW(nullptr), options);
    ASSERT_TRUE(window_->Create(SW_SHOWNORMAL));
    Pump();
    pane_ = window_->Preview();
    ASSERT_NE(pane_, nullptr);
    for (int i = 0; i < 3000 && !pane_->HasDrawing(); ++i) {
      Sleep(10);
      Pump();
    }
    ASSERT_TRUE(pane_->HasDrawing());
    // A known zoom about the line's middle.
    TPreviewView view = pane_->View();
    view.zoom = kZoom;
    view.centreX = 500;
    view.centreY = 0;
    pane_->SetView(view);
    Settle();
  }
  void TearDown() override {
    window_.reset();
    Pump();
  }
  void Settle() {
    pane_->RedrawNow();
    Pump();
  }

  // The pane's pixels as the screen shows them, [y][x] over its client area.
  std::vector<std::vector<COLORREF>> Screenshot() const {
    RECT r{};
    GetClientRect(pane_->Hwnd(), &r);
    const HDC screen = GetDC(pane_->Hwnd());
    const HDC mem = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    const HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    std::vector<std::vector<COLORREF>> pixels(static_cast<std::size_t>(r.bottom),
                                              std::vector<COLORREF>(static_cast<std::size_t>(r.right)));
    for (int y = 0; y < r.bottom; ++y) {
      for (int x = 0; x < r.right; ++x) pixels[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = GetPixel(mem, x, y);
    }
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(pane_->Hwnd(), screen);
    return pixels;
  }

  // Rows of `colour` in the column through the line's middle, a quarter of its length off centre.
  int LineThickness(COLORREF colour) const {
    const auto shot = Screenshot();
    const TPointD at = pane_->View().ToPixel(250, 0);
    const auto x = static_cast<std::size_t>(at.x);
    int rows = 0;
    for (const auto& row : shot) rows += row[x] == colour;
    return rows;
  }

  TempDir dir_;
  std::string presetBytes_;
  std::unique_ptr<TQuietWindow> window_;
  TPreviewPane* pane_ = nullptr;
};

TEST_F(PreviewPane, TheFormGrowsToTheRightAndKeepsItsControlsInPlace) {
  ASSERT_EQ(window_->Dpi(), 96) << "the Wine prefix is expected at 96 DPI";
  RECT client{};
  GetClientRect(window_->Hwnd(), &client);
  EXPECT_EQ(client.right, layout::kClientWidth + 400);
  EXPECT_EQ(client.bottom, layout::kClientHeight);
  RECT r{};
  GetWindowRect(pane_->Hwnd(), &r);
  MapWindowPoints(nullptr, window_->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, layout::kClientWidth);
  for (const auto& [id, box] : {std::pair{IDB_BUTTON1, layout::kButton1}, std::pair{IDT_LABELA1, layout::kLabelA1},
                                std::pair{IDX_CHECKBOX5, layout::kCheckBox5}}) {
    GetWindowRect(window_->Control(id), &r);
    MapWindowPoints(nullptr, window_->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, box.left);
    EXPECT_EQ(r.top, box.top);
    EXPECT_EQ(r.right - r.left, box.width);
  }
}

TEST_F(PreviewPane, AThickLineIsAsWideOnScreenAsItsWidthOnPaperAtTheZoom) {
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_EQ(LineThickness(black), 5);  // as read: 0.5 mm
  SendMessageW(GetDlgItem(pane_->Hwnd(), IDB_PREVIEW_AFTER), BM_CLICK, 0, 0);
  Settle();
  EXPECT_EQ(LineThickness(black), 15);  // after OK: the table's 1.5 mm
  // A cell typed into shows at once.
  TStringGrid* grid = window_->Grid();
  grid->SelectCell(1, 1);
  grid->BeginEditWith(L"300");
  Pump();
  grid->CommitEdit();
  Settle();
  EXPECT_EQ(LineThickness(black), 30);
  // The store is untouched: back to before, the line is as read.
  SendMessageW(GetDlgItem(pane_->Hwnd(), IDB_PREVIEW_BEFORE), BM_CLICK, 0, 0);
  Settle();
  EXPECT_EQ(LineThickness(black), 5);
}

TEST_F(PreviewPane, ADrawingPreparedOnAWorkerThreadShowsTheSame) {
  window_.reset();
  Pump();
  WriteFiles();
  Open(0);  // every drawing goes to the worker
  EXPECT_EQ(LineThickness(RGB(0, 0, 0)), 5);
  SendMessageW(GetDlgItem(pane_->Hwnd(), IDB_PREVIEW_AFTER), BM_CLICK, 0, 0);
  Settle();
  EXPECT_EQ(LineThickness(RGB(0, 0, 0)), 15);
}

TEST_F(PreviewPane, HoveringACellLightsItsLayerAndAClickPicksTheCell) {
  TStringGrid* grid = window_->Grid();
  const RECT cell = grid->Model().CellRect(1, 1, grid->Dpi());  // layer 0-0
  SendMessageW(grid->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  Settle();
  EXPECT_EQ(LineThickness(RGB(0, 0, 0)), 0);
  EXPECT_EQ(LineThickness(RGB(255, 160, 0)), 5);  // the highlight colour

  grid->SelectCell(5, 5);
  const TPointD onLine = pane_->View().ToPixel(700, 0);
  RECT client{};
  GetClientRect(pane_->Hwnd(), &client);
  const int strip = client.bottom - pane_->View().height;
  const LPARAM at = MAKELPARAM(static_cast<int>(onLine.x), static_cast<int>(onLine.y) + strip);
  SendMessageW(pane_->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pane_->Hwnd(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(grid->Model().CurCol(), 1);
  EXPECT_EQ(grid->Model().CurRow(), 1);
}

TEST_F(PreviewPane, F4HidesThePaneAndTheSettingsAreKeptBesideThePresetFile) {
  MSG msg{window_->Hwnd(), WM_KEYDOWN, VK_F4, 1, GetTickCount(), {0, 0}};
  EXPECT_TRUE(window_->PreTranslateMessage(msg));
  Pump();
  RECT client{};
  GetClientRect(window_->Hwnd(), &client);
  EXPECT_EQ(client.right, layout::kClientWidth);
  EXPECT_FALSE(IsWindowVisible(pane_->Hwnd()));
  SendMessageW(window_->Control(IDB_BUTTON2), BM_CLICK, 0, 0);  // Cancel
  Pump();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_FALSE(saved.shown);
  EXPECT_EQ(saved.width, 400);
  EXPECT_EQ(ReadFileBytes(dir_ / "t905.dat"), presetBytes_);
  EXPECT_EQ(ReadFileBytes(dir_ / "JWC_TEMP.TXT"), "hq\r\n");
}

}  // namespace

namespace {

// Without a settings file the pane starts hidden and the form has its own size; F4 opens it on the drawing.
TEST(PreviewPaneHidden, StartsHiddenAndOpensWithF4) {
  TempDir dir;
  WriteFileBytes(dir / "JWC_TEMP.TXT", kDrawing);
  TMainWindow::TOptions options;
  options.exePath = dir / "t905.exe";
  options.quitOnClose = false;
  auto window = std::make_unique<TQuietWindow>(GetModuleHandleW(nullptr), options);
  ASSERT_TRUE(window->Create(SW_SHOWNORMAL));
  Pump();
  RECT client{};
  GetClientRect(window->Hwnd(), &client);
  EXPECT_EQ(client.right, layout::kClientWidth);
  ASSERT_NE(window->Preview(), nullptr);
  EXPECT_FALSE(window->Preview()->HasDrawing());
  MSG msg{window->Hwnd(), WM_KEYDOWN, VK_F4, 1, GetTickCount(), {0, 0}};
  EXPECT_TRUE(window->PreTranslateMessage(msg));
  Pump();
  EXPECT_TRUE(window->Preview()->HasDrawing());
  GetClientRect(window->Hwnd(), &client);
  EXPECT_EQ(client.right, layout::kClientWidth + 480);
  window.reset();
  Pump();
  EXPECT_TRUE(LoadPreviewSettings(dir / "t905.view").shown);
}

}  // namespace
