// Two-thread reading of a large exchange file: the reading thread fills a
// block, hands it to the read-ahead thread, and takes the lines of the block
// before it into the store; the read-ahead thread meanwhile reads the plain
// lines of the block it was handed, then cuts its other lines into fields
// until the reading thread takes the block, and the reading thread cuts the
// rest itself. So the work is shared as the two threads' speeds allow: the
// plain lines alone are most of it, but not all. Blocks alternate between two
// buffers.
#include "exchange/read_ahead.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr char kCtrlZ = '\x1A';

// One block of the file: whole lines, then the start of an unfinished one.
// The read-ahead thread reads and writes only bytes before `complete` (each
// line's own, when it cuts the line), `ahead` and `fields`; the reading thread
// leaves them alone from handing the block over until the read-ahead thread
// has stopped cutting its lines.
struct TBlock {
  std::unique_ptr<char[]> bytes;  // never zero-filled
  std::size_t size = 0;           // room in `bytes`
  std::size_t used = 0;           // bytes held
  std::size_t complete = 0;       // bytes of whole lines (all of them at the end of the file)
  std::uint64_t offset = 0;       // where bytes[0] lies in the file
  std::vector<TJwwLineAhead> ahead;  // per line before `complete`, in order; may stop short
  std::vector<TJwwFieldAhead> fields;  // the kept fields of the lines cut ahead, line after line
  // Guarded by the read-ahead thread's mutex:
  bool read = false;     // its plain lines are read and `ahead` is whole
  bool stopped = false;  // the read-ahead thread cuts no more of its lines
  // Set by the reading thread when it takes the block; read by the
  // read-ahead thread before each line it cuts.
  std::atomic<bool> taken{false};

  explicit TBlock(std::size_t room) : bytes(new char[room]), size(room) {}
  char* data() { return bytes.get(); }
  void Grow() {
    std::unique_ptr<char[]> bigger(new char[size * 2]);
    std::memcpy(bigger.get(), bytes.get(), used);
    bytes = std::move(bigger);
    size *= 2;
  }
};

// Calls `take(begin, size)` for each line of block[0..complete): lines end
// at LF, and the bytes after the last LF (at the end of the file) are a line
// of their own.
template <typename Take>
void ForEachLine(char* block, std::size_t complete, Take take) {
  std::size_t begin = 0;
  while (begin < complete) {
    const auto* lf = static_cast<const char*>(std::memchr(block + begin, '\n', complete - begin));
    const std::size_t stop = lf != nullptr ? static_cast<std::size_t>(lf - block) : complete;
    take(begin, stop - begin);
    begin = lf != nullptr ? stop + 1 : complete;
  }
}

// Makes room for the fields of one more line, growing as push_back would, so
// that storing them cannot fail once the line has been cut.
void MakeRoomForFields(std::vector<TJwwFieldAhead>& fields) {
  if (fields.capacity() - fields.size() < TJwwFields::kMaxFields) {
    fields.reserve(std::max(2 * fields.capacity(), fields.size() + TJwwFields::kMaxFields));
  }
}

// What the read-ahead thread makes of one line at first, in `ahead` (as
// default-made, and already in its place in the block's list): a CR at its
// end is left out as the reading thread drops it; a line with a CR anywhere
// else is left to the reading thread, which drops it and keeps the rest.
void ReadLineAhead(const char* line, std::size_t length, TJwwLineAhead& ahead) {
  ahead.length = length;
  std::size_t size = length;
  if (size > 0 && line[size - 1] == '\r') --size;
  ahead.size = size;
  if (std::memchr(line, '\r', size) != nullptr) return;
  ahead.state = JwwReadPlainNumberLine(line, size, ahead.numbers) ? TJwwLineAhead::kPlain : TJwwLineAhead::kNotPlain;
}

// Cuts a line that is not a plain one into its fields, in place. Room for
// them is made first, so that running out of memory never leaves a line cut
// but not recorded (cutting it again would not give the same fields).
void CutLineAhead(TBlock& block, char* line, TJwwLineAhead& ahead) {
  constexpr std::size_t kMaxLine = std::numeric_limits<std::uint32_t>::max();
  if (ahead.size > kMaxLine || block.fields.size() > kMaxLine - TJwwFields::kMaxFields) return;
  MakeRoomForFields(block.fields);
  TJwwFields f;
  JwwSplitFields(line, ahead.size, f);
  ahead.firstField = static_cast<std::uint32_t>(block.fields.size());
  ahead.fieldCount = static_cast<std::uint32_t>(std::min<std::size_t>(f.count, kMaxLine));
  ahead.exactFields = static_cast<std::uint32_t>(f.exact);
  const std::size_t kept = std::min(f.count, TJwwFields::kMaxFields);
  for (std::size_t i = 0; i < kept; ++i) {
    block.fields.push_back({static_cast<std::uint32_t>(f.field[i].data - line),
                            static_cast<std::uint32_t>(f.field[i].size)});
  }
  ahead.state = TJwwLineAhead::kSplit;
}

void ReadBlockAhead(TBlock& block) {
  block.ahead.clear();
  try {
    ForEachLine(block.data(), block.complete, [&](std::size_t begin, std::size_t size) {
      ReadLineAhead(block.data() + begin, size, block.ahead.emplace_back());
    });
  } catch (const std::exception&) {
    // Out of memory: the lines not reached are read where they are taken.
  }
}

// Cuts the lines that are not plain ones, in order, until the reading thread
// takes the block; it cuts those not reached itself.
void CutBlockAhead(TBlock& block) {
  block.fields.clear();
  std::size_t begin = 0;
  try {
    for (TJwwLineAhead& ahead : block.ahead) {
      if (block.taken.load(std::memory_order_relaxed)) return;
      if (ahead.state == TJwwLineAhead::kNotPlain) CutLineAhead(block, block.data() + begin, ahead);
      begin += ahead.length + 1;
    }
  } catch (const std::exception&) {
    // Out of memory: the lines not cut are cut where they are taken.
  }
}

// The read-ahead thread and the blocks handed to it, taken in order.
class TReadAheadThread {
 public:
  explicit TReadAheadThread(TJwwCutAhead cut) : cut_(cut), thread_([this] { Run(); }) {}
  ~TReadAheadThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  TReadAheadThread(const TReadAheadThread&) = delete;
  TReadAheadThread& operator=(const TReadAheadThread&) = delete;

  void Hand(TBlock& block) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      block.read = false;
      block.stopped = false;
      block.taken.store(false, std::memory_order_relaxed);
      queue_.push_back(&block);
    }
    changed_.notify_all();
  }

  // Waits until the plain lines of a handed block are read, then until the
  // read-ahead thread has stopped cutting the others: at most the line it is
  // cutting is finished.
  void Take(TBlock& block) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return block.read; });
    if (cut_ != TJwwCutAhead::kAll) block.taken.store(true, std::memory_order_relaxed);
    changed_.wait(lock, [&] { return block.stopped; });
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, with nothing left to do
      TBlock* block = queue_.front();
      queue_.pop_front();
      lock.unlock();
      ReadBlockAhead(*block);
      lock.lock();
      block->read = true;
      changed_.notify_all();
      lock.unlock();
      if (cut_ != TJwwCutAhead::kNone) CutBlockAhead(*block);
      lock.lock();
      block->stopped = true;
      changed_.notify_all();
    }
  }

  const TJwwCutAhead cut_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TBlock*> queue_;
  bool stopping_ = false;
  std::thread thread_;  // last: started once the members it uses exist
};

// Where the whole lines of a block end when its bytes from `from` on were
// just read (those before hold no LF): after the last LF, or 0 when none.
std::size_t AfterLastLf(const char* block, std::size_t from, std::size_t to) {
  for (std::size_t i = to; i > from; --i) {
    if (block[i - 1] == '\n') return i;
  }
  return 0;
}

// Reads on into `block` (after what it holds, which has no LF) until it holds
// a whole line or the file ends. False on a read error.
bool Fill(TJwwData& d, std::istream& in, TBlock& block, bool& ended, IJwwReadProgress* progress,
          std::uint64_t total) {
  for (;;) {
    if (block.used == block.size) block.Grow();  // one line longer than the block
    const std::size_t from = block.used;
    in.read(block.data() + from, static_cast<std::streamsize>(block.size - from));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return false;
    d.BytesRead += got;
    ended = in.eof() || got == 0;
    if (void* z = std::memchr(block.data() + from, kCtrlZ, got)) {
      block.used = static_cast<std::size_t>(static_cast<char*>(z) - block.data());
      ended = true;
    } else {
      block.used += got;
    }
    if (progress != nullptr) progress->ShowBytesRead(d.BytesRead, total);
    block.complete = ended ? block.used : AfterLastLf(block.data(), from, block.used);
    if (ended || block.complete > 0) return true;
  }
}

// Takes the lines of a block into the store, where they end as the
// read-ahead thread found (which spares a search for each LF), or by a
// search past the lines it did not reach.
void ApplyBlock(TJwwData& d, TBlock& block) {
  char* const bytes = block.data();
  std::size_t begin = 0;
  for (const TJwwLineAhead& ahead : block.ahead) {
    JwwApplyFileLine(d, bytes + begin, ahead.length, block.offset + begin, &ahead, block.fields.data());
    begin += ahead.length + 1;
  }
  if (begin >= block.complete) return;
  ForEachLine(bytes + begin, block.complete - begin, [&](std::size_t from, std::size_t size) {
    JwwApplyFileLine(d, bytes + begin + from, size, block.offset + begin + from, nullptr);
  });
}

// Moves the unfinished line at the end of `from` to the start of `to`.
void CarryUnfinishedLine(TBlock& from, TBlock& to) {
  const std::size_t rest = from.used - from.complete;
  while (to.size < rest) to.Grow();
  std::memcpy(to.data(), from.data() + from.complete, rest);
  to.used = rest;
  to.offset = from.offset + from.complete;
}

}  // namespace

std::optional<bool> JwwReadStreamAhead(TJwwData& d, std::istream& in, std::size_t blockSize,
                                       IJwwReadProgress* progress, std::uint64_t total, TJwwCutAhead cut) {
  TBlock first(blockSize);
  TBlock second(blockSize);
  std::unique_ptr<TReadAheadThread> started;  // stopped and joined on every way out
  try {
    started = std::make_unique<TReadAheadThread>(cut);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  TReadAheadThread& thread = *started;
  TBlock* filling = &first;
  TBlock* handed = nullptr;  // handed over before `filling`, not yet taken
  for (;;) {
    bool ended = false;
    const bool read = Fill(d, in, *filling, ended, progress, total);
    if (read) thread.Hand(*filling);
    if (handed != nullptr) {
      thread.Take(*handed);
      ApplyBlock(d, *handed);
    }
    if (!read) return false;
    if (ended) {
      thread.Take(*filling);
      ApplyBlock(d, *filling);
      return true;
    }
    handed = filling;
    filling = filling == &first ? &second : &first;
    CarryUnfinishedLine(*handed, *filling);
  }
}
