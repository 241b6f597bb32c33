// The pane's view of the drawing (drawing units to pixels, y up on paper and
// down on screen), zoom to fit, zoom about a point, panning, and the
// flattening of ellipse arcs into chords within a given error.
#pragma once

#include <cstddef>
#include <vector>

struct TPointD {
  double x = 0, y = 0;
};

struct TPreviewView {
  double zoom = 1;                // pixels per drawing unit
  double centreX = 0, centreY = 0;  // drawing point at the pane's centre
  int width = 0, height = 0;      // pane size in pixels

  TPointD ToPixel(double x, double y) const {
    return {(x - centreX) * zoom + width * 0.5, height * 0.5 - (y - centreY) * zoom};
  }
  TPointD ToDrawing(double px, double py) const {
    return {(px - width * 0.5) / zoom + centreX, (height * 0.5 - py) / zoom + centreY};
  }
};

// The view of a `width` x `height` pane that shows the box [minX, maxX] x
// [minY, maxY] whole and centred, `margin` pixels clear of each edge. An empty
// or degenerate box gets a zoom of 1 around its centre (or the origin).
TPreviewView FitView(double minX, double minY, double maxX, double maxY, int width, int height, int margin);

// Zooms by `factor` keeping the drawing point under pixel (px, py) in place.
// The zoom stays within [minZoom, maxZoom].
void ZoomAbout(TPreviewView& view, double px, double py, double factor, double minZoom = 1e-9,
               double maxZoom = 1e6);

// Moves the drawing by (dx, dy) pixels on screen.
void PanBy(TPreviewView& view, double dx, double dy);

// The largest number of chords one arc is cut into, so that a very deep zoom
// costs a bounded time; the error bound holds up to it.
constexpr std::size_t kMaxArcChords = 4096;

// Appends the points of an ellipse arc (centre, radius r along the major
// axis, minor axis r * flat, major axis turned by tilt; from angle start
// through sweep, radians, in the ellipse's own frame) as chords none of
// which lies further than `tolerance` from the curve, both ends included.
void FlattenEllipseArc(double cx, double cy, double r, double flat, double tilt, double start, double sweep,
                       double tolerance, std::vector<TPointD>& out);
