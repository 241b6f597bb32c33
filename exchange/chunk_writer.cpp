// The second thread of a streamed answer: it takes each chunk handed over and
// writes it into the temporary file, in the order they came.
#include "exchange/chunk_writer.h"

#include <string_view>
#include <utility>

TJwwChunkWriter::TJwwChunkWriter(TFileReplacement& file) : file_(file), thread_([this] { Run(); }) {}

TJwwChunkWriter::~TJwwChunkWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TJwwChunkWriter::Hand(TChunk& chunk) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !busy_; });
  // The room to fill next is had before the chunk is given up, so that
  // running out of memory leaves the chunk where it was.
  TChunk next;
  if (spare_.bytes != nullptr && spare_.capacity >= chunk.capacity) {
    next = std::move(spare_);
  } else {
    lock.unlock();
    next.bytes.reset(new char[chunk.capacity]);  // not filled: only bytes written are read
    next.capacity = chunk.capacity;
    lock.lock();
  }
  handed_ += chunk.size;
  inHand_ = std::move(chunk);
  busy_ = true;
  chunk = std::move(next);
  chunk.size = 0;
  lock.unlock();
  changed_.notify_all();
}

bool TJwwChunkWriter::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !busy_; });
  return !failed_;
}

std::size_t TJwwChunkWriter::Handed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return handed_;
}

void TJwwChunkWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return busy_ || stopping_; });
    if (!busy_) return;  // stopping, with nothing in hand
    TChunk chunk = std::move(inHand_);
    lock.unlock();
    // After a failure the file writes nothing more (and says so).
    const bool wrote = file_.Write(std::string_view(chunk.bytes.get(), chunk.size));
    lock.lock();
    if (!wrote) failed_ = true;
    chunk.size = 0;
    spare_ = std::move(chunk);
    busy_ = false;
    changed_.notify_all();
  }
}
