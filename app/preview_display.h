// What the pane paints for one view: the drawing culled by the index, its
// arcs flattened to the zoom, entities smaller than a pixel reduced to dots,
// all as plain primitives in pane pixels with their colours and pixel widths.
// Also the hit test that finds the entity under the mouse.
#pragma once

#include <cstdint>
#include <vector>

#include "app/preview_index.h"
#include "app/preview_model.h"
#include "app/preview_style.h"
#include "app/preview_view.h"

enum class TPrimitiveKind : uint8_t {
  Polyline,  // points joined in order, `width` pixels wide, flat ends
  Polygon,   // points closed and filled
  Dot,       // a square of `width` pixels centred on its one point
};

// A point in pane pixels, laid out as a Win32 POINT.
struct TPixelPoint {
  int32_t x = 0, y = 0;
};

struct TPrimitive {
  TPrimitiveKind kind = TPrimitiveKind::Polyline;
  uint32_t colour = 0;  // 0x00BBGGRR
  float width = 1;      // pixels
  uint32_t first = 0;   // first point in TDisplayList::points
  uint32_t count = 0;
  uint32_t entity = 0;  // index in TPreviewDrawing::entities
};

struct TDisplayList {
  std::vector<TPrimitive> primitives;  // in painting order
  std::vector<TPixelPoint> points;
  std::size_t entitiesDrawn = 0;  // entities that gave at least one primitive (dots merged by pixel count once)
};

// Entities on the highlighted layer are painted last, in this colour.
constexpr uint32_t kHighlightColour = 0x0000A0FFu;  // orange

class TPainter;
struct TCanvas;

// Builds display lists, keeping its scratch memory between redraws.
class TDisplayBuilder {
 public:
  // Replaces `out` with the primitives of every entity that shows in `view`,
  // in file order, those on `highlightLayer` (0..255, or -1 for none) last.
  void Build(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
             const TPreviewWidths& widths, int highlightLayer, TDisplayList& out);
  // Paints the same into `canvas` as painting Build's list would, without
  // keeping the list: each entity is painted as it is made, from the top
  // down, so that no pixel is written twice and an entity wholly hidden by
  // those above it is not made at all. Returns the entities painted.
  std::size_t Paint(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                    const TPreviewWidths& widths, int highlightLayer, TPainter& painter, const TCanvas& canvas);

 private:
  struct TFrame;
  bool Start(const TPreviewDrawing& drawing, const TPreviewView& view, TFrame& frame);
  template <class TDone>
  std::size_t Walk(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                   const TPreviewWidths& widths, int highlightLayer, const TPainter* painted, TDisplayList& into,
                   TDone&& done);
  bool Emit(const TPreviewDrawing& drawing, uint32_t id, const TPreviewView& view, const TPreviewWidths& widths,
            bool lit, const TFrame& frame, const TPainter* painted, TDisplayList& out);
  // The ids to look at, in file order, without repeats.
  const std::vector<uint32_t>& Visible(const TPreviewDrawing& drawing, const TPreviewIndex& index, double minX,
                                       double minY, double maxX, double maxY);

  std::vector<uint32_t> candidates_;
  std::vector<uint32_t> stamp_;     // per entity: the build that last took it
  std::vector<uint32_t> dotStamp_;  // per pane pixel: the build that last put a thin dot there
  uint32_t build_ = 0;
  std::vector<TPointD> shape_;
  std::vector<TPointD> clip_;
  TDisplayList entity_;             // one entity's primitives, while painting
};

// The pixels of an entity's outline or area under `view`: arcs flattened to
// within a third of a pixel. `filled` for areas; `closed` when the last point
// joins the first. Points and markers give their one point.
void ShapePixels(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewView& view,
                 std::vector<TPointD>& out, bool& filled, bool& closed);

// The entity drawn under pixel (px, py) within `tolerance` pixels (half its
// width added for strokes): the nearest, the later in file order among equals.
// -1 when there is none.
int64_t HitTest(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                const TPreviewWidths& widths, double px, double py, double tolerance);
