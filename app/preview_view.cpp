// View transform and arc flattening for the preview.
#include "app/preview_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TPreviewView FitView(double minX, double minY, double maxX, double maxY, int width, int height, int margin) {
  TPreviewView v;
  v.width = width;
  v.height = height;
  if (!(minX <= maxX && minY <= maxY)) return v;
  v.centreX = (minX + maxX) * 0.5;
  v.centreY = (minY + maxY) * 0.5;
  const double w = std::max(1, width - 2 * margin);
  const double h = std::max(1, height - 2 * margin);
  const double dx = maxX - minX;
  const double dy = maxY - minY;
  double zoom = 0;
  if (dx > 0) zoom = w / dx;
  if (dy > 0) zoom = zoom > 0 ? std::min(zoom, h / dy) : h / dy;
  v.zoom = zoom > 0 && std::isfinite(zoom) ? zoom : 1.0;
  return v;
}

void ZoomAbout(TPreviewView& view, double px, double py, double factor, double minZoom, double maxZoom) {
  if (!(factor > 0)) return;
  const TPointD fixed = view.ToDrawing(px, py);
  view.zoom = std::clamp(view.zoom * factor, minZoom, maxZoom);
  // Put `fixed` back under the pixel it came from.
  const TPointD now = view.ToDrawing(px, py);
  view.centreX += fixed.x - now.x;
  view.centreY += fixed.y - now.y;
}

void PanBy(TPreviewView& view, double dx, double dy) {
  view.centreX -= dx / view.zoom;
  view.centreY += dy / view.zoom;
}

void FlattenEllipseArc(double cx, double cy, double r, double flat, double tilt, double start, double sweep,
                       double tolerance, std::vector<TPointD>& out) {
  const double a = std::abs(r);
  const double b = std::abs(r * flat);
  const double big = std::max(a, b);
  // The chord over a step h of the angle lies within h^2/8 * max|p''| of the
  // curve p(t), and |p''| is at most the larger radius: h = sqrt(8 tol / R).
  std::size_t chords = 1;
  if (big > 0 && tolerance > 0) {
    const double step = std::sqrt(8.0 * tolerance / big);
    const double n = std::ceil(std::abs(sweep) / step);
    chords = n >= static_cast<double>(kMaxArcChords) ? kMaxArcChords : std::max<std::size_t>(1, static_cast<std::size_t>(n));
  }
  if (std::abs(sweep) > std::numbers::pi) chords = std::max<std::size_t>(chords, 4);
  const double c = std::cos(tilt), s = std::sin(tilt);
  const auto at = [&](double cosT, double sinT) {
    const double ex = r * cosT, ey = r * flat * sinT;
    out.push_back({cx + ex * c - ey * s, cy + ex * s + ey * c});
  };
  // The angle advances by turning (cos t, sin t) through one step, which
  // costs no sine or cosine a point; the rounding it gathers over at most
  // kMaxArcChords steps is far below a pixel. The end is put exactly.
  const double step = sweep / static_cast<double>(chords);
  const double cosStep = std::cos(step), sinStep = std::sin(step);
  double cosT = std::cos(start), sinT = std::sin(start);
  for (std::size_t i = 0; i < chords; ++i) {
    at(cosT, sinT);
    const double turned = cosT * cosStep - sinT * sinStep;
    sinT = sinT * cosStep + cosT * sinStep;
    cosT = turned;
  }
  at(std::cos(start + sweep), std::sin(start + sweep));
}
