// Sizing the window by its frame while the preview pane shows: the pane takes
// the new client area, the form's controls stay put, the size survives a DPI
// change and comes back next run; a maximised size is never kept, and without
// the pane the window has its fixed size and no sizing frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "app/preview_settings.h"
#include "app/win32/layout.h"
#include "app/win32/main_window.h"
#include "app/win32/preview_pane.h"
#include "tests/support/files.h"
#include "tests/win32/pump.h"

namespace {

constexpr char kDrawing[] = "hq\r\nlg0\r\nly0\r\n0 0 1000 0\r\nci 500 300 50\r\n";
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

class PreviewResize : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_ / "JWC_TEMP.TXT", kDrawing);
    TPreviewSettings settings;
    settings.shown = true;
    settings.width = 400;
    settings.after = true;
    ASSERT_TRUE(SavePreviewSettings(dir_ / "t905.view", settings));
    Open();
    ASSERT_EQ(window_->Dpi(), 96) << "the Wine prefix is expected at 96 DPI";
  }
  void TearDown() override { Close(); }
  void Open() {
    TMainWindow::TOptions options;
    options.exePath = dir_ / "t905.exe";
    options.quitOnClose = false;
    window_ = std::make_unique<TMainWindow>(GetModuleHandleW(nullptr), options);
    ASSERT_TRUE(window_->Create(SW_SHOWNORMAL));
    Pump();
  }
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
  LONG_PTR Style() const { return GetWindowLongPtrW(window_->Hwnd(), GWL_STYLE); }

  TempDir dir_;
  std::unique_ptr<TMainWindow> window_;
};

TEST_F(PreviewResize, ADraggedSizeFillsThePaneKeepsTheFormAndComesBackNextRun) {
  EXPECT_EQ(Style() & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
  MINMAXINFO limits{};
  SendMessageW(window_->Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  const SIZE least = FrameAround(window_->Hwnd(), layout::kPreviewLeft + TPreviewSettings::kMinSide,
                                 layout::kClientHeight);
  EXPECT_EQ(limits.ptMinTrackSize.x, least.cx);
  EXPECT_EQ(limits.ptMinTrackSize.y, least.cy);

  EXPECT_TRUE(window_->Preview()->After()) << "the view kept from the last run";
  const TPreviewView view = window_->Preview()->View();
  DragTo(layout::kPreviewLeft + kPaneWidth, kHeight);
  const RECT pane = InClient(window_->Hwnd(), window_->Preview()->Hwnd());
  EXPECT_EQ(pane.left, layout::kPreviewLeft);
  EXPECT_EQ(pane.right - pane.left, kPaneWidth);
  EXPECT_EQ(pane.bottom - pane.top, kHeight);
  EXPECT_EQ(window_->Preview()->View().zoom, view.zoom);
  EXPECT_EQ(window_->Preview()->View().centreX, view.centreX);
  for (const auto& [id, box] : {std::pair{IDB_BUTTON1, layout::kButton1}, std::pair{IDT_LABELA1, layout::kLabelA1},
                                std::pair{IDG_STRINGGRID1, layout::kStringGrid1}}) {
    const RECT r = InClient(window_->Hwnd(), window_->Control(id));
    EXPECT_EQ(r.top, box.top) << id;
    EXPECT_EQ(r.right - r.left, box.width) << id;
  }

  // The window sizing itself for another DPI and back neither drifts nor is kept as a drag.
  RECT frame{};
  GetWindowRect(window_->Hwnd(), &frame);
  SendMessageW(window_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
  EXPECT_EQ(Client().cx, layout::Scale(layout::kPreviewLeft + kPaneWidth, 144));
  SendMessageW(window_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
  Close();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_EQ(saved.width, kPaneWidth);
  EXPECT_EQ(saved.height, kHeight);
  EXPECT_TRUE(saved.after);
  Open();
  EXPECT_EQ(Client().cx, layout::kPreviewLeft + kPaneWidth);
  EXPECT_EQ(Client().cy, kHeight);
}

void Maximise(HWND hwnd) {
  ShowWindow(hwnd, SW_MAXIMIZE);
  Pump();
}

TEST_F(PreviewResize, AMaximisedSizeIsNotKeptAndTheHiddenPaneFixesTheWindow) {
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
  MSG f4{window_->Hwnd(), WM_KEYDOWN, VK_F4, 1, GetTickCount(), {0, 0}};
  EXPECT_TRUE(window_->PreTranslateMessage(f4));
  Pump();
  EXPECT_FALSE(IsZoomed(window_->Hwnd()));
  EXPECT_EQ(Style() & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(Client().cx, layout::kClientWidth);
  EXPECT_EQ(Client().cy, layout::kClientHeight);
  // Shown again, it opens at the last size dragged to.
  EXPECT_TRUE(window_->PreTranslateMessage(f4));
  Pump();
  EXPECT_EQ(Client().cx, layout::kPreviewLeft + kPaneWidth);
  EXPECT_EQ(Client().cy, kHeight);
  Maximise(window_->Hwnd());
  Close();
  const TPreviewSettings saved = LoadPreviewSettings(dir_ / "t905.view");
  EXPECT_EQ(saved.width, kPaneWidth);
  EXPECT_EQ(saved.height, kHeight);
}

}  // namespace
