// The preview pane: paints the display lists that the portable preview code
// builds, double-buffered in a DIB section, and turns the mouse and keys into
// zooming, panning, hovering and picking. It never touches the drawing store.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/preview_display.h"
#include "app/preview_model.h"
#include "app/preview_raster.h"

class TPreviewPane {
 public:
  static constexpr wchar_t kClassName[] = L"T905Preview";
  static bool Register(HINSTANCE instance);
  // The pane object of a pane window (null for any other window).
  static TPreviewPane* FromHwnd(HWND hwnd);

  HWND Hwnd() const { return hwnd_; }

  // Takes the drawing to show, with its index, and fits it in the pane.
  void SetDrawing(TPreviewDrawing drawing, TPreviewIndex index);
  // Says in the strip that the drawing is being prepared, until it comes.
  void SetPreparing(bool preparing);
  bool HasDrawing() const { return hasDrawing_; }
  // The widths the pane draws with; only a change that shows repaints.
  void SetWidths(const TPreviewWidths& widths);
  const TPreviewWidths& Widths() const { return widths_; }
  bool After() const { return widths_.after; }
  void SetAfter(bool after);
  // Draws the entities of layer 0..255 in the highlight colour (-1: none).
  void HighlightLayer(int layer);
  void Fit();
  void SetFont(HFONT font);
  void SetDpi(int dpi);
  // Called with the layer (0..255) of an entity the user clicked.
  void SetPickHandler(std::function<void(int layer)> handler) { onPick_ = std::move(handler); }

  // Test and benchmark access: the view and the time the last canvas took.
  const TPreviewView& View() const { return view_; }
  void SetView(const TPreviewView& view);
  double LastRenderMilliseconds() const { return lastRenderMs_; }
  // Paints the canvas again now, whatever is pending.
  void RedrawNow();

 private:
  explicit TPreviewPane(HWND hwnd) : hwnd_(hwnd) {}
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);

  void OnCreate();
  void OnSize(int width, int height);
  void OnPaint();
  void OnMouseWheel(int screenX, int screenY, int delta);
  void OnButtonDown(int x, int y, bool left);
  void OnMouseMove(int x, int y, WPARAM keys);
  void OnButtonUp(int x, int y);
  void OnMouseLeave();
  void OnCommand(int id);

  int StripHeight() const;
  // The canvas's size in pixels, below the strip.
  int CanvasWidth() const { return width_; }
  int CanvasHeight() const;
  void Changed();  // the canvas must be painted again
  void RenderCanvas();
  void RenderStrip();
  void SetHoverText(std::wstring text);
  void FreeBuffer();

  HWND hwnd_;
  HWND beforeButton_ = nullptr;
  HWND afterButton_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  int width_ = 0, height_ = 0;  // client size

  // The back buffer: a top-down 32-bit DIB section in a memory DC.
  HDC memDc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;

  TPreviewDrawing drawing_;
  TPreviewIndex index_;
  bool hasDrawing_ = false;
  bool preparing_ = false;
  bool fitted_ = false;
  TPreviewView view_;
  TPreviewWidths widths_;
  int highlight_ = -1;
  TDisplayBuilder builder_;
  TPainter painter_;
  bool canvasDirty_ = true;
  double lastRenderMs_ = 0;

  bool dragging_ = false;
  bool moved_ = false;
  bool dragLeft_ = false;
  POINT dragFrom_{};
  POINT downAt_{};
  bool tracking_ = false;
  std::wstring hover_;
  std::function<void(int layer)> onPick_;
};
