// The preview's own plain records: every selected entity reduced to a shape the
// pane can draw, its layer, colour and width, and which check box decides
// whether OK gives it a width. Made once from the drawing store (see
// preview_source.h); nothing here points back into the store.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What an entity looks like on screen.
enum class TShapeKind : uint8_t {
  Segment,        // its box's diagonal (no values): lines, dimension lines, two-point solids
  EllipseArc,     // cx cy r flatness tilt start sweep (radians): circles, arcs, ellipses, se solids
  EllipseSector,  // the same, filled: sc solids
  Polygon,        // count, then count x y pairs, filled: three- and four-point solids, so, sg
  Outline,        // x y of four corners, closed, one pixel: a text's box
  Point,          // x y: a dot a few pixels across
  Marker,         // x y: a block reference's insertion point
};

// Which check boxes decide whether OK gives the entity its layer's width.
enum class TWidthRule : uint8_t {
  Never,      // texts, blocks, round and three/four-point solids: no width in the answer
  Always,     // lines, circles, arcs
  Points,     // "点"
  Dims,       // "寸法図形": the dimension line
  Solids,     // "ソリッド": two-point sl and se solids not of colour 10
  Arbitrary,  // "ソリッド" with "任意色": the same of colour 10
};

struct TPreviewEntity {
  // Bounding box in drawing units, rounded outwards to float (culling and
  // level of detail only; the shape itself is kept in doubles).
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  uint32_t param = 0;   // first value of the shape in TPreviewDrawing::params
  uint32_t colour = 0;  // 0x00BBGGRR, as the host shows the pen on its screen
  int32_t lw = 0;       // width as read from the exchange file
  uint8_t layer = 0;    // group * 16 + layer
  // A segment runs from (minX, minY) to (maxX, maxY), or with kFalling from
  // (minX, maxY) to (maxX, minY): its ends need no values of their own.
  uint8_t flags = 0;
  TShapeKind shape = TShapeKind::Segment;
  TWidthRule rule = TWidthRule::Never;

  static constexpr uint8_t kFalling = 1;
};

struct TPreviewDrawing {
  std::vector<TPreviewEntity> entities;  // in file order, which is drawing order
  std::vector<double> params;            // shape values, see TShapeKind
  std::array<double, 16> scales{};       // each layer group's scale (`hs`): paper mm -> drawing units
  bool widthsExchanged = false;          // the file had `lw` lines (the host passed widths)
  int32_t widestLw = 0;                  // the largest `lw` of any entity
  std::array<std::string, 16> groupNames;  // Shift-JIS, as the file gives them
  std::array<std::string, 256> layerNames;
  // Box around every entity; empty (min > max) when there is none.
  double minX = 1, minY = 1, maxX = 0, maxY = 0;

  bool Empty() const { return entities.empty(); }
  const double* Params(const TPreviewEntity& e) const { return params.data() + e.param; }
  // A segment's ends, as its box keeps them (to float precision).
  void SegmentEnds(const TPreviewEntity& e, double& x1, double& y1, double& x2, double& y2) const {
    const bool falling = (e.flags & TPreviewEntity::kFalling) != 0;
    x1 = e.minX;
    x2 = e.maxX;
    y1 = falling ? e.maxY : e.minY;
    y2 = falling ? e.minY : e.maxY;
  }
};
