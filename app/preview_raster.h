// Paints a display list into a 32-bit pixel buffer: strokes of any width,
// filled areas and dots, all in this portable code. A view at fit holds most
// of a large drawing, and setting pixels costs far less than a drawing call
// per stroke (under Wine above all); the window only copies the buffer out.
//
// Pixel (x, y) is the one centred on display-list point (x, y). A shape covers
// the pixels whose centres lie inside it: a stroke w pixels wide covers w
// rows (or columns) across its length; ends are flat, corners round.
#pragma once

#include <cstdint>
#include <vector>

#include "app/preview_display.h"

// A 0x00BBGGRR colour as a 32-bit top-down bitmap's pixel (0x00RRGGBB).
constexpr uint32_t PixelOf(uint32_t colour) {
  return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

// `width` x `height` pixels, `stride` pixels a row, top row first.
struct TCanvas {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
};

// Keeps its scratch memory between paintings.
class TPainter {
 public:
  // Paints every primitive of `list`, later ones over earlier ones, clipped to
  // the canvas. Pixels no primitive covers are left as they were.
  void Paint(const TDisplayList& list, const TCanvas& canvas);

  // Painting from the top down: after Start, each Under() paints its list
  // (in its own order, the last on top) beneath all painted since Start.
  void Start(const TCanvas& canvas);
  void Under(const TDisplayList& list);
  // True when every pixel of x0..x1 x y0..y1 on the canvas is painted since
  // Start (and when none of it is on the canvas).
  bool Covered(int x0, int y0, int x1, int y1) const;

  struct TScratch {
    std::vector<int32_t> links;       // per pixel: the next that may be free (see the .cpp)
    std::vector<uint8_t> set;         // per pixel: painted
    std::vector<uint16_t> tileFree;   // per 8 x 8 tile: pixels not painted
    std::vector<uint32_t> rowStart;   // per row of an area: its first crossing in xs
    std::vector<uint32_t> rowFill;
    std::vector<double> xs;           // an area's crossings, row by row
    std::vector<TPointD> corners;
  };

 private:
  TCanvas canvas_;
  mutable TScratch scratch_;  // Covered() shortens the links it walks
};
