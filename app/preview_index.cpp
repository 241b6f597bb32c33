// The preview's uniform grid: counted, then filled, in two passes over the boxes.
#include "app/preview_index.h"

#include <algorithm>
#include <cmath>

namespace {

// At least this many entities per cell on average, and no more cells than
// this along a side, so the grid stays a few megabytes at most.
constexpr double kEntitiesPerCell = 2.0;
constexpr int kMaxSide = 1024;
// An entity over more cells than this goes to the list checked every time.
constexpr int kMaxCellsPerEntity = 64;

// The median of the larger side of the boxes of a sample of entities.
double TypicalSpan(const TPreviewDrawing& drawing) {
  constexpr std::size_t kSample = 4096;
  const std::size_t n = drawing.entities.size();
  const std::size_t step = std::max<std::size_t>(1, n / kSample);
  std::vector<float> spans;
  spans.reserve(n / step + 1);
  for (std::size_t i = 0; i < n; i += step) {
    const TPreviewEntity& e = drawing.entities[i];
    spans.push_back(std::max(e.maxX - e.minX, e.maxY - e.minY));
  }
  auto mid = spans.begin() + static_cast<std::ptrdiff_t>(spans.size() / 2);
  std::nth_element(spans.begin(), mid, spans.end());
  return *mid;
}

int ClampCell(double v, int n) {
  if (!(v > 0)) return 0;
  if (v >= n - 1) return n - 1;
  return static_cast<int>(v);
}

}  // namespace

void TPreviewIndex::CellRange(double minX, double minY, double maxX, double maxY, int& c0, int& r0, int& c1,
                              int& r1) const {
  c0 = ClampCell((minX - originX_) / cellW_, cols_);
  c1 = ClampCell((maxX - originX_) / cellW_, cols_);
  r0 = ClampCell((minY - originY_) / cellH_, rows_);
  r1 = ClampCell((maxY - originY_) / cellH_, rows_);
}

void TPreviewIndex::Build(const TPreviewDrawing& drawing) {
  *this = TPreviewIndex();
  const auto n = drawing.entities.size();
  if (n == 0 || !(drawing.minX <= drawing.maxX && drawing.minY <= drawing.maxY)) return;
  const double w = std::max(drawing.maxX - drawing.minX, 1e-9);
  const double h = std::max(drawing.maxY - drawing.minY, 1e-9);
  // Cells about as large as a typical entity, so that most lie in a few
  // cells, but no more cells than kEntitiesPerCell allows.
  const double cells = std::max(1.0, static_cast<double>(n) / kEntitiesPerCell);
  double side = std::sqrt(w * h / cells);
  side = std::max(side, TypicalSpan(drawing));
  cols_ = std::clamp(static_cast<int>(std::ceil(w / side)), 1, kMaxSide);
  rows_ = std::clamp(static_cast<int>(std::ceil(h / side)), 1, kMaxSide);
  originX_ = drawing.minX;
  originY_ = drawing.minY;
  cellW_ = w / cols_;
  cellH_ = h / rows_;

  const auto cellCount = static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_);
  start_.assign(cellCount + 1, 0);
  // Pass 1: count per cell; pass 2: place. Both walk the same ranges.
  const auto forEachCell = [&](const TPreviewEntity& e, auto&& visit) {
    int c0, r0, c1, r1;
    CellRange(e.minX, e.minY, e.maxX, e.maxY, c0, r0, c1, r1);
    if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerEntity) return false;
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) visit(static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c));
    }
    return true;
  };
  for (const TPreviewEntity& e : drawing.entities) {
    forEachCell(e, [&](std::size_t cell) { ++start_[cell + 1]; });
  }
  for (std::size_t i = 1; i <= cellCount; ++i) start_[i] += start_[i - 1];
  ids_.resize(start_[cellCount]);
  std::vector<uint32_t> fill(start_.begin(), start_.end() - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const auto id = static_cast<uint32_t>(i);
    if (!forEachCell(drawing.entities[i], [&](std::size_t cell) { ids_[fill[cell]++] = id; })) large_.push_back(id);
  }
}

void TPreviewIndex::Query(double minX, double minY, double maxX, double maxY, std::vector<uint32_t>& out) const {
  if (cols_ == 0) return;
  out.insert(out.end(), large_.begin(), large_.end());
  // A rectangle wholly outside the grid meets nothing stored in cells.
  if (maxX < originX_ || maxY < originY_ || minX > originX_ + cellW_ * cols_ || minY > originY_ + cellH_ * rows_) {
    return;
  }
  int c0, r0, c1, r1;
  CellRange(minX, minY, maxX, maxY, c0, r0, c1, r1);
  for (int r = r0; r <= r1; ++r) {
    const std::size_t row = static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_);
    out.insert(out.end(), ids_.begin() + start_[row + static_cast<std::size_t>(c0)],
               ids_.begin() + start_[row + static_cast<std::size_t>(c1) + 1]);
  }
}
