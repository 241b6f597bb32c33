// The preview pane's portable work on the shared 1,000,000-entity drawing:
// what opening the pane costs once the drawing is read (its records and the
// index, to set against BM_JwwReadBytes), and one redraw of the canvas (its
// entities culled, made into primitives and painted) at fit and zoomed in,
// before and after OK's widths.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/preview_display.h"
#include "app/preview_raster.h"
#include "app/preview_source.h"
#include "bench/bench_drawing.h"
#include "exchange/read/reader.h"

namespace {

constexpr int kPaneWidth = 480;
constexpr int kPaneHeight = 311;

struct TScene {
  TPreviewDrawing drawing;
  TPreviewIndex index;
};

const TScene& TheScene() {
  static const std::unique_ptr<TScene> scene = [] {
    auto s = std::make_unique<TScene>();
    s->drawing = MakePreviewDrawing(BenchDrawingStore());
    s->index.Build(s->drawing);
    return s;
  }();
  return *scene;
}

void BM_PreviewOpen(benchmark::State& state) {
  const TJwwData& d = BenchDrawingStore();
  std::size_t entities = 0;
  for (auto _ : state) {
    TScene scene;
    scene.drawing = MakePreviewDrawing(d);
    scene.index.Build(scene.drawing);
    entities = scene.drawing.entities.size();
    benchmark::DoNotOptimize(scene.index.Columns());
  }
  state.counters["entities"] = static_cast<double>(entities);
}
BENCHMARK(BM_PreviewOpen)->Unit(benchmark::kMillisecond);

// Arg 0: zoom factor over fit; arg 1: 1 for the widths after OK.
void BM_PreviewRedraw(benchmark::State& state) {
  const TScene& s = TheScene();
  TPreviewView view = FitView(s.drawing.minX, s.drawing.minY, s.drawing.maxX, s.drawing.maxY, kPaneWidth,
                              kPaneHeight, 8);
  ZoomAbout(view, kPaneWidth * 0.4, kPaneHeight * 0.6, static_cast<double>(state.range(0)));
  TPreviewWidths widths;
  widths.after = state.range(1) != 0;
  widths.table.fill(35);
  widths.kinds = TConvertKinds{true, true, true, true};
  TDisplayBuilder builder;
  TPainter painter;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(kPaneWidth) * kPaneHeight);
  std::size_t drawn = 0;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFu);
    drawn = builder.Paint(s.drawing, s.index, view, widths, 0x12, painter,
                          TCanvas{pixels.data(), kPaneWidth, kPaneHeight, kPaneWidth});
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["entities_drawn"] = static_cast<double>(drawn);
}
BENCHMARK(BM_PreviewRedraw)
    ->ArgNames({"zoom", "after"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({8, 1})
    ->Args({64, 1})
    ->Args({1024, 1})
    ->Unit(benchmark::kMillisecond);

// The entity under the mouse, as each mouse move over the pane asks, at fit
// and zoomed in: twenty places across the pane.
void BM_PreviewHitTest(benchmark::State& state) {
  const TScene& s = TheScene();
  TPreviewView view = FitView(s.drawing.minX, s.drawing.minY, s.drawing.maxX, s.drawing.maxY, kPaneWidth,
                              kPaneHeight, 8);
  ZoomAbout(view, kPaneWidth * 0.5, kPaneHeight * 0.5, static_cast<double>(state.range(0)));
  const TPreviewWidths widths;
  int64_t found = 0;
  for (auto _ : state) {
    for (int i = 0; i < 20; ++i) found += HitTest(s.drawing, s.index, view, widths, 100 + i * 15, 80 + i * 7, 3) >= 0;
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_PreviewHitTest)->ArgName("zoom")->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
