// The preview's scene made on a worker thread: the same scene as made on the
// caller's thread, handed over once, and nothing left running or handed over
// after a stop (so the store can go).
#include "app/preview_loader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "app/preview_source.h"
#include "exchange/read/reader.h"
#include "tests/support/drawing_generator.h"

namespace {

std::unique_ptr<TJwwData> Store(std::size_t entities) {
  auto d = std::make_unique<TJwwData>();
  JwwDataInit(*d);
  JwwReadBytes(*d, GenerateExchangeFile(entities, 4));
  return d;
}

TEST(PreviewLoader, HandsOverTheSceneMadeHereOnceWhenReady) {
  const auto store = Store(20000);
  const TPreviewDrawing here = MakePreviewDrawing(*store);
  TPreviewLoader loader;
  EXPECT_EQ(loader.Take(), nullptr);  // nothing started
  std::promise<void> ready;
  loader.Start(*store, [&] { ready.set_value(); });
  EXPECT_TRUE(loader.Busy());
  ASSERT_EQ(ready.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
  const std::unique_ptr<TPreviewScene> scene = loader.Take();
  ASSERT_NE(scene, nullptr);
  EXPECT_FALSE(loader.Busy());
  EXPECT_EQ(scene->drawing.entities.size(), here.entities.size());
  EXPECT_EQ(scene->drawing.params, here.params);
  EXPECT_EQ(scene->index.Columns(), TPreviewIndex(here).Columns());
  EXPECT_EQ(loader.Take(), nullptr);  // once
}

TEST(PreviewLoader, AStopLeavesNothingRunningAndNothingToTake) {
  auto store = Store(200000);
  int readyCalls = 0;
  {
    TPreviewLoader loader;
    loader.Start(*store, [&] { ++readyCalls; });
    loader.Stop();
    EXPECT_FALSE(loader.Busy());
    EXPECT_EQ(loader.Take(), nullptr);
    // Started again and left to its end: the loader's end waits for its worker.
    loader.Start(*store, [&] { ++readyCalls; });
  }
  store.reset();  // a worker still reading would now read freed memory
  EXPECT_LE(readyCalls, 2);
}

TEST(PreviewLoader, TheRecordsStopEarlyWhenAsked) {
  const auto store = Store(200000);
  const std::atomic<bool> stop{true};
  const std::size_t all = MakePreviewDrawing(*store).entities.size();
  const std::size_t stopped = MakePreviewDrawing(*store, &stop).entities.size();
  EXPECT_GT(stopped, 0u);
  EXPECT_LT(stopped, all / 2);
}

}  // namespace
