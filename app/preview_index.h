// A uniform grid over the drawing's box, built once when the drawing is read,
// that finds the entities whose boxes may meet a rectangle without looking at
// the rest. Entities spanning many cells are kept aside and always returned.
#pragma once

#include <cstdint>
#include <vector>

#include "app/preview_model.h"

class TPreviewIndex {
 public:
  TPreviewIndex() = default;
  explicit TPreviewIndex(const TPreviewDrawing& drawing) { Build(drawing); }

  void Build(const TPreviewDrawing& drawing);

  // Appends the ids of every entity whose box meets [minX, maxX] x [minY,
  // maxY] (and perhaps some that do not), each at most once per cell it lies
  // in: an id may come more than once.
  void Query(double minX, double minY, double maxX, double maxY, std::vector<uint32_t>& out) const;

  int Columns() const { return cols_; }
  int Rows() const { return rows_; }

 private:
  // Cell range of a box, clamped to the grid.
  void CellRange(double minX, double minY, double maxX, double maxY, int& c0, int& r0, int& c1, int& r1) const;

  int cols_ = 0, rows_ = 0;
  double originX_ = 0, originY_ = 0;
  double cellW_ = 1, cellH_ = 1;
  std::vector<uint32_t> start_;  // per cell, the first of its ids in ids_; one more at the end
  std::vector<uint32_t> ids_;
  std::vector<uint32_t> large_;  // entities over more than kMaxCellsPerEntity cells
};
