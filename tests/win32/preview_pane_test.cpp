// The preview pane in the real window: opened from its settings file beside
// the executable, the form growing to the right with its controls in place;
// a thick line measured on the screen before and after OK's widths, following
// a cell edit at once; the grid's hover and the pane's click; F4; the
// settings written at close while the preset file stays as it was; and the
// window sized by its frame: the pane takes the new client area, the form
// stays put, the size survives a DPI change and comes back next run, a
// maximised size is never kept, and without the pane the window is fixed.
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
constexpr LONG kPaneWidth = 600;  // the size the user drags to, at 96 DPI
constexpr LONG kHeight = 450;

RECT InClient(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE FrameAround(HWND hwnd, LONG width, LONG height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

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
    TPresetModel model;
    model.Table(1).Widths[0] = 150;  // layer 0-0: 1.5 mm after OK
    TPresetControls controls;
    ASSERT_TRUE(SavePresets(dir_ / "t905.dat", model, controls));
    presetBytes_ = ReadFileBytes(dir_ / "t905.dat");
    TPreviewSettings settings;
    settings.shown = true;
    settings.width = 400;
    ASSERT_TRUE(SavePreviewSettings(dir_ / "t905.view", settings));
    Open();
    ASSERT_EQ(window_->Dpi(), 96) << "the Wine prefix is expected at 96 DPI";
  }
  // The drawing is prepared on the worker thread, as a large one is (the
  // test without a settings file below takes the small drawing's way); the
  // line's middle is put at a known zoom.
  void Open() {
    WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);  // as the host writes it before each run
    TMainWindow::TOptions options;
    options.exePath = dir_ / "t905.exe";
    options.quitOnClose = false;
    options.previewInBackgroundFrom = 0;
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
    TPreviewView view = pane_->View();
    view.zoom = kZoom;
    view.centreX = 500;
    view.centreY = 0;
    pane_->SetView(view);
    Settle();
  }
  void TearDown() override { Close(); }
  void Close() {
    window_.reset();
    Pump();
  }
  // What the system's sizing loop does at the end of a drag on the bottom-right corner.
  void DragTo(LONG clientWidth, LONG clientHeight) {
    const SIZE frame = FrameAround(window_->Hwnd(), clientWidth, clientHeight);
    SetWindowPos(window_->Hwnd(), nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
  SIZE Client() const {
    RECT r{};
    GetClientRect(window_->Hwnd(), &r);
    return SIZE{r.right, r.bottom};
  }
  void ExpectTheFormInPlace() const {
    for (const auto& [id, box] : {std::pair{IDB_BUTTON1, layout::kButton1}, std::pair{IDT_LABELA1, layout::kLabelA1},
                                  std::pair{IDX_CHECKBOX5, layout::kCheckBox5},
                                  std::pair{IDG_STRINGGRID1, layout::kStringGrid1}}) {
      const RECT r = InClient(window_->Hwnd(), window_->Control(id));
      EXPECT_EQ(r.left, box.left) << id;
      EXPECT_EQ(r.top, box.top) << id;
      EXPECT_EQ(r.right - r.left, box.width) << id;
    }
  }
  LONG_PTR Style() const { return GetWindowLongPtrW(window_->Hwnd(), GWL_STYLE); }
  bool F4() {
    MSG msg{window_->Hwnd(), WM_KEYDOWN, VK_F4, 1, GetTickCount(), {0, 0}};
    const bool taken = window_->PreTranslateMessage(msg);
    Pump();
    return taken;
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
  EXPECT_EQ(Client().cx, layout::kClientWidth + 400);
  EXPECT_EQ(Client().cy, layout::kClientHeight);
  EXPECT_EQ(InClient(window_->Hwnd(), pane_->Hwnd()).left, layout::kClientWidth);
  ExpectTheFormInPlace();
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
  EXPECT_TRUE(F4());
  EXPECT_EQ(Client().cx, layout::kClientWidth);
  EXPECT_FALSE(IsWindowVisible(pane_->Hwnd()));
  SendMessageW(window_->Control(IDB_BUTTON2), BM_CLICK, 0, 0);  // Cancel
  Pump();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_FALSE(saved.shown);
  EXPECT_EQ(saved.width, 400);
  EXPECT_EQ(ReadFileBytes(dir_ / "t905.dat"), presetBytes_);
  EXPECT_EQ(ReadFileBytes(dir_ / "JWC_TEMP.TXT"), "hq\r\n");
}

TEST_F(PreviewPane, ADraggedSizeFillsThePaneKeepsTheFormAndComesBackNextRun) {
  EXPECT_EQ(Style() & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
  MINMAXINFO limits{};
  SendMessageW(window_->Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  const SIZE least = FrameAround(window_->Hwnd(), layout::kPreviewLeft + TPreviewSettings::kMinSide,
                                 layout::kClientHeight);
  EXPECT_EQ(limits.ptMinTrackSize.x, least.cx);
  EXPECT_EQ(limits.ptMinTrackSize.y, least.cy);

  const TPreviewView view = window_->Preview()->View();
  DragTo(layout::kPreviewLeft + kPaneWidth, kHeight);
  const RECT pane = InClient(window_->Hwnd(), window_->Preview()->Hwnd());
  EXPECT_EQ(pane.left, layout::kPreviewLeft);
  EXPECT_EQ(pane.right - pane.left, kPaneWidth);
  EXPECT_EQ(pane.bottom - pane.top, kHeight);
  EXPECT_EQ(window_->Preview()->View().zoom, view.zoom);
  EXPECT_EQ(window_->Preview()->View().centreX, view.centreX);
  ExpectTheFormInPlace();

  // The window sizing itself for another DPI and back neither drifts nor is kept as a drag.
  RECT frame{};
  GetWindowRect(window_->Hwnd(), &frame);
  SendMessageW(window_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
  EXPECT_EQ(Client().cx, layout::Scale(layout::kPreviewLeft + kPaneWidth, 144));
  SendMessageW(window_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
  SendMessageW(GetDlgItem(pane_->Hwnd(), IDB_PREVIEW_AFTER), BM_CLICK, 0, 0);
  Close();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_EQ(saved.width, kPaneWidth);
  EXPECT_EQ(saved.height, kHeight);
  EXPECT_TRUE(saved.after);
  Open();
  EXPECT_EQ(Client().cx, layout::kPreviewLeft + kPaneWidth);
  EXPECT_EQ(Client().cy, kHeight);
  EXPECT_TRUE(pane_->After()) << "the view kept from the last run";
}

void Maximise(HWND hwnd) {
  ShowWindow(hwnd, SW_MAXIMIZE);
  Pump();
}

TEST_F(PreviewPane, AMaximisedSizeIsNotKeptAndTheHiddenPaneFixesTheWindow) {
  SetWindowPos(window_->Hwnd(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  DragTo(layout::kPreviewLeft + kPaneWidth, kHeight);
  Maximise(window_->Hwnd());
  ASSERT_TRUE(IsZoomed(window_->Hwnd()));
  const RECT pane = InClient(window_->Hwnd(), window_->Preview()->Hwnd());
  EXPECT_EQ(pane.left, layout::kPreviewLeft);
  EXPECT_EQ(pane.right, Client().cx);
  EXPECT_EQ(pane.bottom, Client().cy);
  EXPECT_NE(Client().cx, layout::kPreviewLeft + kPaneWidth);  // else the test could not tell
  // OK keeps the place the window returns to, not the maximised one.
  EXPECT_EQ(window_->WindowLeft(), 40);
  EXPECT_EQ(window_->WindowTop(), 30);

  // F4 hides the pane: the window is restored to the form's size, without a sizing frame.
  EXPECT_TRUE(F4());
  EXPECT_FALSE(IsZoomed(window_->Hwnd()));
  EXPECT_EQ(Style() & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(Client().cx, layout::kClientWidth);
  EXPECT_EQ(Client().cy, layout::kClientHeight);
  // Shown again, it opens at the last size dragged to.
  EXPECT_TRUE(F4());
  EXPECT_EQ(Client().cx, layout::kPreviewLeft + kPaneWidth);
  EXPECT_EQ(Client().cy, kHeight);
  Maximise(window_->Hwnd());
  Close();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_EQ(saved.width, kPaneWidth);
  EXPECT_EQ(saved.height, kHeight);
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
