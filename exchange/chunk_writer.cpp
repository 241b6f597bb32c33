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
  inHand_ = std::move(chunk);
  busy_ = true;
  if (spare_.bytes != nullptr && spare_.capacity >= inHand_.capacity) {
    chunk = std::move(spare_);
  } else {
    lock.unlock();
    chunk.bytes.reset(new char[inHand_.capacity]);  // not filled: only bytes written are read
    chunk.capacity = inHand_.capacity;
    lock.lock();
  }
  chunk.size = 0;
  lock.unlock();
  changed_.notify_all();
}

bool TJwwChunkWriter::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !busy_; });
  return !failed_;
}

std::size_t TJwwChunkWriter::Written() {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
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
    if (wrote) {
      written_ += chunk.size;
    } else {
      failed_ = true;
    }
    chunk.size = 0;
    spare_ = std::move(chunk);
    busy_ = false;
    changed_.notify_all();
  }
}
