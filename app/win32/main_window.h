// Form1 as a Win32 window: it draws the controls of the layout table and hands
// every event to TForm1, which decides. Texts cross as Shift-JIS through cp932.
// A hidden-size owner window carries the application title on the task bar,
// as the caption bar carries the window caption.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/form1.h"
#include "app/preview_loader.h"
#include "app/preview_settings.h"

class TStringGrid;
class TPreviewPane;

class TMainWindow : public IForm1Controls {
 public:
  struct TOptions {
    // Where the tool believes it runs; empty for the running executable. Tests
    // point it into a scratch folder so the files land there.
    std::filesystem::path exePath;
    // Post WM_QUIT when the window is gone (the program's loop ends then).
    bool quitOnClose = true;
    // Drawings of at least this many entities are prepared for the preview
    // on a worker thread, so that the window answers meanwhile; smaller ones
    // take less time than a thread's start is worth.
    std::size_t previewInBackgroundFrom = 100000;
  };

  TMainWindow(HINSTANCE instance, TOptions options);
  ~TMainWindow() override;
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  static bool RegisterClasses(HINSTANCE instance);

  // Creates the windows and controls, runs FormShow and shows the window.
  bool Create(int showCommand);
  // The dialog keys (Tab order, Enter, Escape, Alt mnemonics) for a queued
  // message; true when the message was used up.
  bool PreTranslateMessage(MSG& msg);
  // Runs until the window has closed; the exit code of WM_QUIT.
  int RunMessageLoop();

  HWND Hwnd() const { return hwnd_; }
  HWND AppHwnd() const { return appHwnd_; }
  HWND Control(int id) const;
  TStringGrid* Grid() const;
  int Dpi() const { return dpi_; }
  // The preview pane (null until the window is created) and its toggle.
  TPreviewPane* Preview() const;
  bool PreviewShown() const { return previewSettings_.shown; }
  void ShowPreview(bool shown);
  bool Closed() const { return closed_; }
  TForm1& Form() { return form_; }

  // IForm1Controls.
  std::string GridCell(int col, int row) const override;
  void SetGridCell(int col, int row, std::string_view text) override;
  void SetGridColWidth(int col, int pixels) override;
  void CommitGridEdit() override;
  void SetGridUse(const TGridUse& use) override;
  TGridSelection GridSelection() const override;
  void SetGridSelection(const TGridSelection& selection) override;
  std::optional<std::string> ClipboardText() override;
  void SetClipboardText(std::string_view text) override;
  std::string Edit1Text() const override;
  void SetEdit1Text(std::string_view text) override;
  bool CheckBox(TCheckBoxId id) const override;
  void SetCheckBox(TCheckBoxId id, bool checked) override;
  int TabIndex() const override;
  void SelectTabSilently(int index) override;
  void SetStatusText(std::string_view text) override;
  void SetLabelL1(std::string_view text) override;
  void SetLabelL2(std::string_view text) override;
  int WindowLeft() const override;
  int WindowTop() const override;
  void MoveWindowTo(int left, int top) override;
  void CloseWindow() override;
  bool ConfirmYesNo(std::string_view message) override;
  void ShowMessage(std::string_view message) override;
  void ShowErrorMessage(std::string_view message) override;
  std::optional<std::filesystem::path> RunOpenDialog(const TOpenDialogSpec& spec) override;
  bool IsEscapeDown() override;
  std::filesystem::path ExecutablePath() const override;
  std::string PathToText(const std::filesystem::path& path) const override;
  std::filesystem::path TextToPath(std::string_view text) const override;

 private:
  void BringOntoScreen();
  // The window's frame where it is not maximised, in screen coordinates.
  RECT RestoredRect() const;
  // The outer size of this window, in its present style, around a client area of client96 at 96 DPI.
  SIZE WindowSizeFor(SIZE client96) const;
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT RouteApp(UINT msg, WPARAM wParam, LPARAM lParam);

  bool CreateControls();
  void ApplyLayout(int dpi, const RECT* suggested);
  void MakeFonts(int dpi);
  void AutoSizeLabel(int id);
  void Close();
  void ActivateMain();
  void RestoreMain();
  bool HandleTabKey(const MSG& msg);

  void OnCommand(int id, int code);
  // The grid's range commands and its context menu.
  void OnGridCommand(int code);
  void OnGridContextMenu(HWND target, int x, int y);
  LRESULT OnNotify(const NMHDR* header);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnDestroy();

  // The preview pane (main_window_preview.cpp).
  bool CreatePreview();
  void PlacePreview();
  SIZE ClientSize96() const;  // the form, and the pane beside it when shown
  void SetResizable(bool resizable);
  void FillPreview();  // the pane takes the client area right of the form
  void OnSize(UINT kind);
  void OnGetMinMaxInfo(MINMAXINFO& info) const;
  bool PreviewKey(WPARAM key);
  // Posted by the preview's worker when its scene can be taken.
  static constexpr UINT kPreviewReadyMessage = WM_APP + 1;
  void PreparePreview();
  void OnPreviewReady();
  void StopPreviewLoader();  // before anything changes or frees the store
  void RefreshPreviewWidths();
  void LoadPreviewState();
  void SavePreviewState();
  static LRESULT CALLBACK GridHoverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);

  HINSTANCE instance_;
  TOptions options_;
  TForm1 form_;
  TPreviewLoader previewLoader_;  // reads form_.store: declared after it, so it ends first
  HWND hwnd_ = nullptr;
  HWND appHwnd_ = nullptr;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT smallFont_ = nullptr;
  HBRUSH formBrush_ = nullptr;
  HBRUSH memoBrush_ = nullptr;
  HBRUSH statusBrush_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool shown_ = false;  // Create has finished: the application window may hand over activation
  bool closed_ = false;
  bool escapePolled_ = false;  // the Escape key's state was read in this run
  bool layingOut_ = false;     // the window sizes itself: a WM_SIZE now is not the user's
  // Edit1's text as the form gave it: handed back byte for byte while the
  // user has not changed it, so bytes CP932 cannot round-trip survive.
  std::string edit1Sjis_;
  std::wstring edit1Wide_;
  TPreviewSettings previewSettings_;  // as the pane stands now
  TPreviewSettings previewLoaded_;    // as read at start-up: the file is written only when they differ
};
