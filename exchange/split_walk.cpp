// The second thread of a large drawing's walk: its part of the records
// written into memory from a guessed start state, handed over only when the
// guess proves to be the walk's own state.
#include "exchange/split_walk.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <exception>
#include <memory>
#include <utility>

namespace {

std::atomic<TJwwSplitOutcome> lastOutcome = TJwwSplitOutcome::OneThread;

bool Same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// The second part is the last third: the second thread's records cost more
// (its answer goes into new memory, the first thread's into the same two
// chunks again and again), and once both are done its bytes still have to
// be written after the first part's, which the first thread waits for.
std::size_t PickStart(std::size_t n, const TJwwSplitTuning& tuning) {
  if (tuning.splitAt != 0) return std::min(tuning.splitAt, n);
  return n - n / 3;
}

// Every table of `from` borrowed by `to`, with the order list.
void BorrowTables(TJwwData& to, const TJwwData& from) {
  to.Lines.Borrow(from.Lines);
  to.Circles.Borrow(from.Circles);
  to.Arcs.Borrow(from.Arcs);
  to.Texts.Borrow(from.Texts);
  to.Points.Borrow(from.Points);
  to.PointsEx.Borrow(from.PointsEx);
  to.Dims.Borrow(from.Dims);
  to.Blocks.Borrow(from.Blocks);
  to.Solids2.Borrow(from.Solids2);
  to.Solids3.Borrow(from.Solids3);
  to.Solids4.Borrow(from.Solids4);
  to.Scs.Borrow(from.Scs);
  to.Ses.Borrow(from.Ses);
  to.Sos.Borrow(from.Sos);
  to.Sgs.Borrow(from.Sgs);
  to.Order.Borrow(from.Order);
}

}  // namespace

TJwwSplitTuning& JwwSplitTuning() {
  static TJwwSplitTuning tuning;
  return tuning;
}

TJwwSplitOutcome JwwLastSplitOutcome() { return lastOutcome.load(); }
void JwwSetLastSplitOutcome(TJwwSplitOutcome outcome) { lastOutcome.store(outcome); }

bool JwwSameWriterState(const TJwwAttrState& a, const TJwwPending& an, const TJwwAttrState& b,
                        const TJwwPending& bn) {
  // A field added to either struct must be added here: the walk takes the
  // second thread's records only on this answer.
  const bool attrs = a.CurLg == b.CurLg && a.CurLy == b.CurLy && a.CurLc == b.CurLc && a.CurLt == b.CurLt &&
                     a.CurLw == b.CurLw && a.CurCn == b.CurCn && Same(a.CurTextWidth, b.CurTextWidth) &&
                     Same(a.CurTextHeight, b.CurTextHeight) && Same(a.CurTextSpacing, b.CurTextSpacing) &&
                     a.CurTextColour == b.CurTextColour && a.CurCc == b.CurCc && a.CurFont == b.CurFont &&
                     a.CurPn == b.CurPn && a.CurLc10 == b.CurLc10 && a.CurHhp == b.CurHhp && a.CurZ == b.CurZ &&
                     a.PolylineNo == b.PolylineNo && a.InPolyline == b.InPolyline && a.DimPending == b.DimPending;
  const bool pending = an.NeedLg == bn.NeedLg && an.NeedLy == bn.NeedLy && an.NeedLc == bn.NeedLc &&
                       an.NeedLt == bn.NeedLt && an.NeedLw == bn.NeedLw && an.NeedCn == bn.NeedCn &&
                       an.NeedCc == bn.NeedCc && an.NeedFont == bn.NeedFont && an.NeedPn == bn.NeedPn &&
                       an.NeedLc10 == bn.NeedLc10;
  return attrs && pending;
}

TJwwSecondWalk::TJwwSecondWalk(const TJwwData& d, const TJwwOverrides& o) : overrides_(o) {
  const TJwwSplitTuning& tuning = JwwSplitTuning();
  const std::size_t n = d.Order.size();
  start_ = n;
  end_ = n;
  if (n == 0 || n < tuning.minRecords || !d.Output.HasStreamTarget() || tuning.noThread) return;
  const std::size_t start = PickStart(n, tuning);
  if (start >= n) return;
  try {
    // The writer's state as the walk begins, and what the records read.
    part_.attr = d.attr;
    part_.need = d.need;
    part_.first = d.first;
    part_.LwSeen = d.LwSeen;
    BorrowTables(part_, d);
    // About as long as its share of the file read (see JwwWriteData): more
    // room than is written, which costs memory only where room is committed
    // up front (Windows), rather than a copy of it all when it runs short.
    const auto read = static_cast<std::size_t>(d.BytesRead);
    reserve_ = (std::max(read + read / 4, 80 * n) / n + 1) * (n - start) + 64;
    std::filesystem::path source = d.Source != nullptr ? d.Source->Path() : std::filesystem::path();
    done_ = start;
    start_ = start;
    thread_ = std::thread(&TJwwSecondWalk::Run, this, start - std::min(start, tuning.warmUp), std::move(source));
  } catch (const std::exception&) {
    // No memory or no thread: the walk runs on one thread, as it can.
    start_ = n;
  }
}

TJwwSecondWalk::~TJwwSecondWalk() { Stop(); }

void TJwwSecondWalk::Run(std::size_t warmFrom, std::filesystem::path source) {
  bool ok = true;
  try {
    if (!source.empty()) {
      // Its own read window on the same file, opened as the first one was.
      part_.Source = std::make_shared<TJwwSourceFile>();
      ok = part_.Source->Open(source);
    }
    if (ok) {
      JwwWriteRecords(part_, overrides_, warmFrom, start_);
      part_.Output.Clear();
      TJwwAttrState attr = part_.attr;
      TJwwPending need = part_.need;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        startAttr_ = std::move(attr);
        startNeed_ = need;
        ready_ = true;
      }
      changed_.notify_all();
      part_.Output.Reserve(reserve_);
      for (std::size_t i = start_; i < end_;) {
        if (stop_.load(std::memory_order_relaxed)) {
          ok = false;
          break;
        }
        const std::size_t next = std::min(end_, i + 100);
        JwwWriteRecords(part_, overrides_, i, next);
        i = next;
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          done_ = i;
        }
        changed_.notify_all();
      }
    }
  } catch (...) {
    // Out of memory, mostly: the walk writes these records itself.
    ok = false;
  }
  part_.Source.reset();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_ = true;
    if (!ok) failed_ = true;
  }
  changed_.notify_all();
}

bool TJwwSecondWalk::SameStart(const TJwwData& d) {
  if (!thread_.joinable()) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return ready_; });
  return !failed_ && JwwSameWriterState(startAttr_, startNeed_, d.attr, d.need);
}

bool TJwwSecondWalk::WaitFor(std::size_t i) {
  if (!thread_.joinable()) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this, i] { return failed_ || done_ >= i; });
  return done_ >= i && !failed_;
}

void TJwwSecondWalk::Stop() {
  if (!thread_.joinable()) return;
  stop_.store(true, std::memory_order_relaxed);
  thread_.join();
}

void TJwwSecondWalk::Hand(TJwwData& d) {
  if (thread_.joinable()) thread_.join();
  d.Output.AppendAnswer(std::move(part_.Output));
  d.attr = std::move(part_.attr);
  d.need = part_.need;
}
