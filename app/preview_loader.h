// Makes the preview's records and index from the drawing store on a thread
// of its own, so that the window answers at once while a large drawing is
// prepared. The store is only read; the owner must not change or free it
// until Stop() has returned or the scene has been taken.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/preview_index.h"
#include "app/preview_model.h"

struct TJwwData;

struct TPreviewScene {
  TPreviewDrawing drawing;
  TPreviewIndex index;
};

class TPreviewLoader {
 public:
  TPreviewLoader() = default;
  ~TPreviewLoader() { Stop(); }
  TPreviewLoader(const TPreviewLoader&) = delete;
  TPreviewLoader& operator=(const TPreviewLoader&) = delete;

  // Starts making the scene of `store` (stopping any earlier start). `ready`
  // is called on the worker thread once the scene can be taken; not when the
  // loader was stopped first.
  void Start(const TJwwData& store, std::function<void()> ready);
  // Started, and neither taken nor stopped since.
  bool Busy() const { return worker_.joinable(); }
  // The scene once ready, the worker joined; null while it is still being
  // made, or when nothing was started.
  std::unique_ptr<TPreviewScene> Take();
  // Asks the worker to give up and waits for it.
  void Stop();

 private:
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  std::unique_ptr<TPreviewScene> scene_;  // the worker's until ready_
};
