// Writing a streamed answer's chunks on a second thread: while the system
// takes one chunk into the temporary file, the walk fills the next. At most
// one chunk is in hand at a time, so the answer still costs two chunks of
// memory, not its size.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "exchange/atomic_file.h"

class TJwwChunkWriter {
 public:
  // Room for one chunk's bytes: the buffer the walk fills or one in hand.
  struct TChunk {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;      // bytes held
    std::size_t capacity = 0;  // room in `bytes`
  };

  // Starts the thread that writes into `file`, which must outlive this.
  // Throws std::system_error when no thread can be started.
  explicit TJwwChunkWriter(TFileReplacement& file);
  // Waits for the chunk in hand to be written.
  ~TJwwChunkWriter();
  TJwwChunkWriter(const TJwwChunkWriter&) = delete;
  TJwwChunkWriter& operator=(const TJwwChunkWriter&) = delete;

  // Hands `chunk` over to be written and puts in its place an empty one to
  // fill next (the one written before, or new room of the same size). Waits
  // while the chunk before is still being written.
  void Hand(TChunk& chunk);
  // Waits until every chunk handed over is written; false when a write
  // failed (the file's Error() tells why).
  bool Finish();
  // Bytes of the chunks handed over so far, written or being written.
  std::size_t Handed();

 private:
  void Run();

  TFileReplacement& file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  TChunk inHand_;      // handed over, not yet written (size 0: none)
  TChunk spare_;       // written, free to fill again
  bool busy_ = false;  // a chunk is in hand or being written
  bool failed_ = false;
  bool stopping_ = false;
  std::size_t handed_ = 0;
  std::thread thread_;  // last: started once the members it uses exist
};
