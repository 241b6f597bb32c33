// Times the preview pane in the real window, in this process, for
// scripts/bench-window.sh's preview mode:
//   window_preview_timer DIR   DIR holds the drawing as JWC_TEMP.TXT.source and a t905.dat
// Prints the reading of the drawing alone, the window's opening without and
// with the pane shown (until it answers, and until the pane shows the
// drawing, which is prepared on a worker thread meanwhile), and the pane's redraws (the whole, and the canvas alone)
// at fit, zoomed in and panned, each the median of several.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/preview_settings.h"
#include "app/win32/layout.h"
#include "app/win32/main_window.h"
#include "app/win32/preview_pane.h"
#include "exchange/read/reader.h"
#include "tests/win32/pump.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 5;

double Ms(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

class TQuietWindow : public TMainWindow {
 public:
  using TMainWindow::TMainWindow;
  bool ConfirmYesNo(std::string_view) override { return false; }
  void ShowMessage(std::string_view) override {}
};

// Opens the window on a fresh copy of the drawing; the milliseconds until it is shown and painted.
double Open(const fs::path& dir, std::unique_ptr<TQuietWindow>& window) {
  // Removed first: libstdc++'s overwrite_existing fails on Windows when the file exists.
  std::error_code ec;
  fs::remove(dir / "JWC_TEMP.TXT", ec);
  fs::copy_file(dir / "JWC_TEMP.TXT.source", dir / "JWC_TEMP.TXT");
  TMainWindow::TOptions options;
  options.exePath = dir / "t905.exe";
  options.quitOnClose = false;
  const auto start = std::chrono::steady_clock::now();
  window = std::make_unique<TQuietWindow>(GetModuleHandleW(nullptr), options);
  if (!window->Create(SW_SHOWNORMAL)) return -1;
  UpdateWindow(window->Hwnd());
  Pump();
  return Ms(start);
}

void Close(std::unique_ptr<TQuietWindow>& window) {
  SendMessageW(window->Control(IDCANCEL), BM_CLICK, 0, 0);
  Pump();
  window.reset();
  Pump();
}

void TimeRedraw(const char* name, TPreviewPane* pane, const std::function<void()>& change) {
  std::vector<double> whole, canvas;
  for (int i = 0; i < kRuns; ++i) {
    change();
    const auto start = std::chrono::steady_clock::now();
    pane->RedrawNow();
    whole.push_back(Ms(start));
    canvas.push_back(pane->LastRenderMilliseconds());
  }
  std::printf("redraw %-10s %8.1f ms (canvas %.1f ms)\n", name, Median(whole), Median(canvas));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_preview_timer DIR\n");
    return 2;
  }
  const fs::path dir = argv[1];
  std::vector<double> reads;
  for (int i = 0; i < 3; ++i) {
    auto store = std::make_unique<TJwwData>();
    JwwDataInit(*store);
    const auto start = std::chrono::steady_clock::now();
    JwwReadFile(*store, dir / "JWC_TEMP.TXT.source");
    reads.push_back(Ms(start));
    if (i == 0) std::printf("entities %llu\n", static_cast<unsigned long long>(store->Order.size()));
  }
  std::printf("read alone          %8.1f ms\n", Median(reads));

  std::unique_ptr<TQuietWindow> window;
  std::vector<double> plain, shown;
  for (int i = 0; i < 3; ++i) {
    fs::remove(dir / "t905.view");
    plain.push_back(Open(dir, window));
    Close(window);
  }
  TPreviewSettings settings;
  settings.shown = true;
  std::vector<double> drawn;
  for (int i = 0; i < 3; ++i) {
    SavePreviewSettings(dir / "t905.view", settings);
    const auto start = std::chrono::steady_clock::now();
    shown.push_back(Open(dir, window));
    // The drawing is prepared on a worker meanwhile: the pane shows it when it comes.
    while (!window->Preview()->HasDrawing()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      Pump();
    }
    UpdateWindow(window->Preview()->Hwnd());
    drawn.push_back(Ms(start));
    if (i < 2) Close(window);
  }
  std::printf("open without pane   %8.1f ms\nopen with pane      %8.1f ms (added %.1f ms before the window answers)\n"
              "pane drawn after    %8.1f ms\n",
              Median(plain), Median(shown), Median(shown) - Median(plain), Median(drawn));

  TPreviewPane* pane = window->Preview();
  const TPreviewView fit = pane->View();
  TimeRedraw("fit", pane, [&] { pane->SetView(fit); });
  TimeRedraw("after", pane, [&] {
    SendMessageW(GetDlgItem(pane->Hwnd(), IDB_PREVIEW_AFTER), BM_CLICK, 0, 0);
    pane->SetView(fit);
  });
  for (double factor : {8.0, 64.0}) {
    TPreviewView zoomed = fit;
    ZoomAbout(zoomed, zoomed.width * 0.4, zoomed.height * 0.6, factor);
    TimeRedraw(factor == 8.0 ? "zoom x8" : "zoom x64", pane, [&] { pane->SetView(zoomed); });
  }
  TPreviewView panned = fit;
  ZoomAbout(panned, panned.width * 0.5, panned.height * 0.5, 8.0);
  TimeRedraw("pan x8", pane, [&] {
    PanBy(panned, 40, 25);
    pane->SetView(panned);
  });
  Close(window);
  return 0;
}
