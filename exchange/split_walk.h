// The walk of a large drawing on two threads. While the walk's own thread
// writes the first records, a second one writes the rest into memory,
// starting a few records early from the writer's initial state: attribute
// lines are written only where a value changes, so after a few records its
// state nearly always is the one the walk reaches there. The walk then
// compares the two states; only when they are the same are the second
// thread's bytes exactly what it would have written itself, and taken.
// Otherwise they are dropped and the walk writes those records itself:
// the answer never depends on the guess, only the time taken does.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <thread>

#include "exchange/store.h"
#include "exchange/writer.h"

// How the walk is split. Process-wide, set by tests (and by the test build of
// the batch command) to force the split on small drawings and odd places.
struct TJwwSplitTuning {
  // Fewer records than this, or an answer held in memory whole: one thread.
  std::size_t minRecords = 100000;
  // The second thread's first record; 0 picks one from the record count.
  std::size_t splitAt = 0;
  // Records the second thread writes and throws away before its own.
  std::size_t warmUp = 2048;
  // Behaves as if no second thread could be started.
  bool noThread = false;
};
TJwwSplitTuning& JwwSplitTuning();

// How the last walk ran, for tests.
enum class TJwwSplitOutcome {
  OneThread,  // not split (small, held whole, or no thread)
  Taken,      // the second thread's records were taken
  Redone,     // they were dropped (other state, or the thread failed) and written again
  Escaped,    // Escape ended the walk while the second thread ran
};
TJwwSplitOutcome JwwLastSplitOutcome();
void JwwSetLastSplitOutcome(TJwwSplitOutcome outcome);

// True when every field of the two writer states is the same, bit for bit:
// then every record is written alike from either.
bool JwwSameWriterState(const TJwwAttrState& a, const TJwwPending& an, const TJwwAttrState& b,
                        const TJwwPending& bn);

// The second thread's part of a split walk, records [Start(), n). Built when
// the walk begins (the store's writer state then is the initial one); stops
// and joins its thread when destroyed.
class TJwwSecondWalk {
 public:
  TJwwSecondWalk(const TJwwData& d, const TJwwOverrides& o);
  ~TJwwSecondWalk();
  TJwwSecondWalk(const TJwwSecondWalk&) = delete;
  TJwwSecondWalk& operator=(const TJwwSecondWalk&) = delete;

  // The first record of the second part; the record count when none runs.
  std::size_t Start() const { return start_; }

  // Waits until the second thread has its start state; true when it runs and
  // that state is the store's (the walk's state once record Start()-1 is written).
  bool SameStart(const TJwwData& d);
  // Waits until records [Start(), i) are written; false when the thread
  // failed or stopped first.
  bool WaitFor(std::size_t i);
  // Stops the thread and waits for it; its records are dropped.
  void Stop();
  // Moves the second part into the store: its entries after the store's, and
  // its final writer state. Only after WaitFor(record count) was true.
  void Hand(TJwwData& d);

 private:
  void Run(std::size_t warmFrom, std::filesystem::path source);

  TJwwData part_;  // tables borrowed from the store; own state, source and output
  TJwwOverrides overrides_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  std::size_t reserve_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool ready_ = false;   // start state known (or failed)
  bool failed_ = false;  // failed or stopped: nothing to take
  std::size_t done_ = 0; // records [start_, done_) written
  TJwwAttrState startAttr_;
  TJwwPending startNeed_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;  // last: started once the members it uses exist
};
