// The preview's scene made on a worker thread.
#include "app/preview_loader.h"

#include <utility>

#include "app/preview_source.h"

void TPreviewLoader::Start(const TJwwData& store, std::function<void()> ready) {
  Stop();
  stop_ = false;
  ready_ = false;
  scene_.reset();
  worker_ = std::thread([this, &store, ready = std::move(ready)] {
    auto scene = std::make_unique<TPreviewScene>();
    scene->drawing = MakePreviewDrawing(store, &stop_);
    if (stop_) return;
    scene->index.Build(scene->drawing);
    if (stop_) return;
    scene_ = std::move(scene);
    ready_.store(true, std::memory_order_release);
    if (ready) ready();
  });
}

std::unique_ptr<TPreviewScene> TPreviewLoader::Take() {
  if (!ready_.load(std::memory_order_acquire)) return nullptr;
  if (worker_.joinable()) worker_.join();
  ready_ = false;
  return std::move(scene_);
}

void TPreviewLoader::Stop() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  ready_ = false;
  scene_.reset();
}
