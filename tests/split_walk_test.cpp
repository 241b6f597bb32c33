// The walk split between two threads writes exactly what one thread writes:
// the same bytes, entry and line counts, progress shown, Escape and failures
// handled alike, and the same writer state left behind, wherever the split
// falls and however short the second thread's warm-up (too short a warm-up
// must be noticed and its records written again).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "exchange/reader.h"
#include "exchange/split_walk.h"
#include "exchange/writer.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"
#include "tests/support/store_records.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHostFile = "the host's drawing\r\n";

#ifdef _WIN32
constexpr bool kOpenFilesStay = true;
#else
constexpr bool kOpenFilesStay = false;
#endif

// Sets the split's tuning for one scope.
class TuningScope {
 public:
  explicit TuningScope(const TJwwSplitTuning& tuning) : saved_(JwwSplitTuning()) { JwwSplitTuning() = tuning; }
  ~TuningScope() { JwwSplitTuning() = saved_; }
  TuningScope(const TuningScope&) = delete;
  TuningScope& operator=(const TuningScope&) = delete;

 private:
  TJwwSplitTuning saved_;
};

TJwwSplitTuning OneThread() {
  TJwwSplitTuning t;
  t.minRecords = std::numeric_limits<std::size_t>::max();
  return t;
}

TJwwSplitTuning SplitAt(std::size_t at, std::size_t warmUp) {
  TJwwSplitTuning t;
  t.minRecords = 0;
  t.splitAt = at;
  t.warmUp = warmUp;
  return t;
}

class CountLog final : public IJwwProgress {
 public:
  void ShowProgress(std::string_view text) override { texts.emplace_back(text); }
  void ShowCount(std::size_t done, std::size_t total) override { counts.emplace_back(done, total); }
  std::vector<std::string> texts;
  std::vector<std::pair<std::size_t, std::size_t>> counts;
};

// Escape goes down at the given poll (counting from 1); never when 0.
class EscapeAtPoll final : public IJwwEscapeKey {
 public:
  explicit EscapeAtPoll(int poll) : poll_(poll) {}
  bool IsEscapeDown() override { return ++polls == poll_; }
  int polls = 0;

 private:
  int poll_;
};

// Fails the answer's writes once this many bytes are written; keeps the
// bytes written before each write, which is what the batch command shows.
class FailWriteAfter final : public IFileReplaceSeam {
 public:
  explicit FailWriteAfter(std::size_t bytes) : bytes_(bytes) {}
  bool AllowWrite(std::size_t written) override {
    writes.push_back(written);
    return written < bytes_;
  }
  std::vector<std::size_t> writes;

 private:
  std::size_t bytes_;
};

// Everything a caller can see of one walk and the write after it.
struct TWalk {
  std::string file;  // the answer file's bytes after the write
  bool written = false;
  std::size_t count = 0;
  std::size_t lines = 0;
  std::size_t bytes = 0;
  bool streamed = false;
  TJwwAttrState attr;
  TJwwPending need;
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  std::vector<std::size_t> writes;
  int escapePolls = 0;
  TJwwSplitOutcome outcome = TJwwSplitOutcome::OneThread;
};

struct TWalkSetup {
  int escapeAtPoll = 0;
  std::size_t failAfter = 0;  // bytes the answer's file may take; 0: no limit
  TJwwOverrides overrides;
};

// Walks the store `d` (read, writer state initialised) into `dir`/out.txt.
TWalk Walk(TJwwData& d, const fs::path& dir, const TJwwSplitTuning& tuning, const TWalkSetup& setup = {}) {
  const TuningScope scope(tuning);
  const fs::path out = dir / "out.txt";
  WriteFileBytes(out, kHostFile);
  FailWriteAfter seam(setup.failAfter == 0 ? SIZE_MAX : setup.failAfter);
  CountLog progress;
  EscapeAtPoll escape(setup.escapeAtPoll);
  d.Output.StreamTo(out, &seam);
  JwwPutLine(d, "hd");
  JwwWriteData(d, setup.overrides, &progress, &escape);
  TWalk w;
  w.outcome = JwwLastSplitOutcome();
  w.count = d.Output.Count();
  w.lines = d.Output.LineCount();
  w.bytes = d.Output.TotalBytes();
  w.streamed = d.Output.Streaming();
  w.attr = d.attr;
  w.need = d.need;
  w.progress = progress.counts;
  w.escapePolls = escape.polls;
  w.written = JwwWriteFile(d, out);
  w.writes = seam.writes;
  w.file = ReadFileBytes(out);
  return w;
}

// Reads the drawing from a file, as the batch command does: final-form
// numbers are then copied from it by both threads.
TWalk WalkFile(const std::string& drawing, const fs::path& dir, const TJwwSplitTuning& tuning,
               const TWalkSetup& setup = {}) {
  const fs::path in = dir / "in.txt";
  WriteFileBytes(in, drawing);
  TJwwData d;
  JwwDataInit(d);
  JwwReadFile(d, in);
  JwwWriteInit(d);
  return Walk(d, dir, tuning, setup);
}

void ExpectSameWalk(const TWalk& got, const TWalk& want, const std::string& where) {
  EXPECT_EQ(got.written, want.written) << where;
  EXPECT_EQ(got.count, want.count) << where;
  EXPECT_EQ(got.lines, want.lines) << where;
  EXPECT_EQ(got.bytes, want.bytes) << where;
  EXPECT_EQ(got.streamed, want.streamed) << where;
  EXPECT_TRUE(JwwSameWriterState(got.attr, got.need, want.attr, want.need)) << where;
  EXPECT_EQ(got.progress, want.progress) << where;
  EXPECT_EQ(got.escapePolls, want.escapePolls) << where;
  EXPECT_EQ(got.writes, want.writes) << where;
  ASSERT_EQ(got.file.size(), want.file.size()) << where;
  EXPECT_TRUE(got.file == want.file) << where;
}

// Layers, colours, widths, text types and fonts change from record to
// record, so that a warm-up too short to see them leaves another state.
TJwwData MixedStore(int repeats) {
  TJwwData d;
  JwwDataInit(d);
  d.LwSeen = true;
  d.first.FirstFont = "<first>";
  for (int k = 0; k < repeats; ++k) {
    const int32_t lg = k % 3;
    const int32_t ly = (k * 7) % 16;
    const int32_t lc = 1 + k % 9;
    const int32_t lw = (k % 4) * 5;
    const double v = 1.5 + k;
    TJwwEntLine& ln = AddStoreRecord(d, d.Lines, kKindLine, lg, ly, lc, lw);
    ln.x2 = v;
    ln.z = k % 5 == 0 ? 1 : 0;
    AddStoreRecord(d, d.Circles, kKindCircle, lg, ly, lc, lw).r = v;
    TJwwEntArc& arc = AddStoreRecord(d, d.Arcs, kKindArc, lg, ly, lc, lw);
    arc.r = v;
    arc.p5 = 0.5;
    TJwwEntText& text = AddStoreRecord(d, d.Texts, kKindText, lg, ly, lc, lw);
    text.kind = k % 10;
    text.cn = k % 11;
    text.cc = k % 9;
    text.width = 2.0 + k % 3;
    text.height = 3.0;
    text.font = k % 4 == 0 ? "" : "<f" + std::to_string(k % 3) + ">";
    text.text = "t" + std::to_string(k);
    AddStoreRecord(d, d.Points, kKindPoint, lg, ly, lc, lw).x = v;
    TJwwEntPointEx& px = AddStoreRecord(d, d.PointsEx, kKindPointEx, lg, ly, lc, lw);
    px.code = k % 3;
    px.p3 = 1.0;
    TJwwEntDim& dim = AddStoreRecord(d, d.Dims, kKindDim, lg, ly, lc, lw);
    dim.line = ln;
    dim.text = text;
    dim.text.kind = 2;
    AddStoreRecord(d, d.Blocks, kKindBlock, lg, ly, lc, lw).name = "b";
    TJwwEntSolid2& s2 = AddStoreRecord(d, d.Solids2, kKindSolid2, lg, ly, k % 2 == 0 ? 10 : lc, lw);
    s2.lc10 = k * 4099;
    s2.x2 = v;
    s2.y2 = 1.0;
    TJwwEntSolid3& s3 = AddStoreRecord(d, d.Solids3, kKindSolid3, lg, ly, lc, lw);
    s3.x2 = v;
    s3.y3 = v;
    TJwwEntSolid4& s4 = AddStoreRecord(d, d.Solids4, kKindSolid4, lg, ly, 10, lw);
    s4.lc10 = k % 3;
    s4.x2 = v;
    s4.y3 = v;
    s4.y4 = 1.0;
    TJwwEntSc& sc = AddStoreRecord(d, d.Scs, kKindSc, lg, ly, lc, lw);
    sc.p3 = v;
    sc.p4 = 1.0;
    AddStoreRecord(d, d.Ses, kKindSe, lg, ly, lc, lw) = sc;
    TJwwEntSo& so = AddStoreRecord(d, d.Sos, kKindSo, lg, ly, lc, lw);
    so.p3 = v;
    so.p4 = 1.0;
    so.p8 = 0.5;
    AddStoreRecord(d, d.Sgs, kKindSg, lg, ly, lc, lw) = so;
  }
  return d;
}

TEST(SplitWalk, GeneratedDrawingSplitAtEveryRecordWritesWhatOneThreadWrites) {
  const std::string drawing = GenerateExchangeFile(260, 5);
  TempDir dir;
  const TWalk want = WalkFile(drawing, dir.path(), OneThread());
  ASSERT_GT(want.count, 260u);
  std::size_t taken = 0;
  std::size_t redone = 0;
  for (const std::size_t warmUp : {0u, 1u, 2u, 64u}) {
    for (std::size_t at = 1; at <= 261; ++at) {
      const TWalk got = WalkFile(drawing, dir.path(), SplitAt(at, warmUp));
      ExpectSameWalk(got, want, "split at " + std::to_string(at) + ", warm-up " + std::to_string(warmUp));
      taken += got.outcome == TJwwSplitOutcome::Taken;
      redone += got.outcome == TJwwSplitOutcome::Redone;
    }
  }
  // A split past the last record runs one thread; both other ways are taken.
  EXPECT_GT(taken, 0u);
  EXPECT_GT(redone, 0u);
}

TEST(SplitWalk, StoreOfEveryKindSplitAnywhereWithOverridesWritesWhatOneThreadWrites) {
  TJwwOverrides layerAndColour;
  layerAndColour.lg = 3;
  layerAndColour.ly = 4;
  layerAndColour.lc = 10;
  layerAndColour.lc10 = 77;
  TJwwOverrides textAndWidth;
  textAndWidth.textColour = 5;
  textAndWidth.cc = 2;
  textAndWidth.lw = 7;
  textAndWidth.lt = 3;
  const struct {
    const char* name;
    TJwwOverrides overrides;
  } rows[] = {{"none", {}}, {"layer and colour", layerAndColour}, {"text and width", textAndWidth}};
  TempDir dir;
  std::size_t taken = 0;
  std::size_t redone = 0;
  for (const auto& r : rows) {
    TWalkSetup setup;
    setup.overrides = r.overrides;
    TJwwData one = MixedStore(12);
    JwwWriteInit(one);
    const TWalk want = Walk(one, dir.path(), OneThread(), setup);
    const std::size_t n = one.Order.size();
    for (const std::size_t warmUp : {0u, 1u, 2u, 64u}) {
      for (std::size_t at = 1; at < n; ++at) {
        TJwwData d = MixedStore(12);
        JwwWriteInit(d);
        const TWalk got = Walk(d, dir.path(), SplitAt(at, warmUp), setup);
        ExpectSameWalk(got, want, std::string(r.name) + ", split at " + std::to_string(at) + ", warm-up " +
                                      std::to_string(warmUp));
        taken += got.outcome == TJwwSplitOutcome::Taken;
        redone += got.outcome == TJwwSplitOutcome::Redone;
      }
    }
  }
  EXPECT_GT(taken, 0u);
  EXPECT_GT(redone, 0u);
}

// Large enough to stream many chunks before and after the split.
TEST(SplitWalk, StreamedDrawingsWriteWhatOneThreadWrites) {
  const struct {
    std::size_t entities;
    std::uint32_t seed;
    std::size_t at;  // 0: chosen by the walk
    std::size_t warmUp;
    TJwwSplitOutcome outcome;
  } rows[] = {
      {60000, 7, 0, 1024, TJwwSplitOutcome::Taken},
      {60000, 8, 30001, 1024, TJwwSplitOutcome::Taken},
      {60000, 9, 59999, 1024, TJwwSplitOutcome::Taken},
      {60000, 7, 12345, 0, TJwwSplitOutcome::Redone},
      {20000, 3, 100, 2, TJwwSplitOutcome::Redone},
  };
  for (const auto& r : rows) {
    const std::string where = std::to_string(r.entities) + "/" + std::to_string(r.seed) + " at " +
                              std::to_string(r.at) + " warm-up " + std::to_string(r.warmUp);
    const std::string drawing = GenerateExchangeFile(r.entities, r.seed);
    TempDir dir;
    const TWalk want = WalkFile(drawing, dir.path(), OneThread());
    const TWalk got = WalkFile(drawing, dir.path(), SplitAt(r.at, r.warmUp));
    EXPECT_TRUE(got.streamed) << where;
    EXPECT_EQ(got.outcome, r.outcome) << where;
    ExpectSameWalk(got, want, where);
    EXPECT_EQ(got.progress.size(), (r.entities + 99) / 100) << where;
  }
}

TEST(SplitWalk, EscapeFailuresAndNoThreadEndAsWithOneThread) {
  const std::size_t n = 40000;
  const std::string drawing = GenerateExchangeFile(n, 5);
  const struct {
    const char* name;
    std::size_t at;  // the second part's first record
    int escapeAtPoll;
    std::size_t failAfter;
    bool noThread;
    bool moveSource;  // the second thread cannot open the file read
    TJwwSplitOutcome outcome;
  } rows[] = {
      {"EscapeInTheFirstPart", n / 2, 50, 0, false, false, TJwwSplitOutcome::Escaped},
      {"EscapeAtTheSplit", n / 2, 201, 0, false, false, TJwwSplitOutcome::Escaped},
      {"EscapeInTheSecondPart", n / 2, 350, 0, false, false, TJwwSplitOutcome::Escaped},
      {"EscapeAtTheLastPoll", n / 2, 400, 0, false, false, TJwwSplitOutcome::Escaped},
      // The second chunk's write fails: streamed by the first thread, or
      // handed over from the second.
      {"WriteFailsInTheFirstPart", n - n / 10, 0, 1, false, false, TJwwSplitOutcome::Taken},
      {"WriteFailsInTheSecondPart", n / 10, 0, 1, false, false, TJwwSplitOutcome::Taken},
      {"NoSecondThread", n / 2, 0, 0, true, false, TJwwSplitOutcome::OneThread},
      {"SourceFileGone", n / 2, 0, 0, false, true, TJwwSplitOutcome::Redone},
      {"SourceFileGoneThenEscape", n / 2, 300, 0, false, true, TJwwSplitOutcome::Redone},
  };
  for (const auto& r : rows) {
    // Windows renames no file that is open, so the file cannot go from under
    // the store there; what follows the failed open is the same everywhere.
    if (r.moveSource && kOpenFilesStay) continue;
    TWalkSetup setup;
    setup.escapeAtPoll = r.escapeAtPoll;
    setup.failAfter = r.failAfter;
    TJwwSplitTuning split = SplitAt(r.at, 256);
    split.noThread = r.noThread;
    TempDir dir;
    const TWalk want = WalkFile(drawing, dir.path(), OneThread(), setup);
    WriteFileBytes(dir / "in.txt", drawing);
    TJwwData d;
    JwwDataInit(d);
    JwwReadFile(d, dir / "in.txt");
    JwwWriteInit(d);
    // Renamed while the store holds it open: the first reader keeps its
    // window, the second finds no file by that name.
    if (r.moveSource) fs::rename(dir / "in.txt", dir / "moved.txt");
    const TWalk got = Walk(d, dir.path(), split, setup);
    EXPECT_EQ(got.outcome, r.outcome) << r.name;
    ExpectSameWalk(got, want, r.name);
    EXPECT_EQ(got.written, r.escapeAtPoll != 0 || r.failAfter == 0) << r.name;
    if (r.failAfter != 0) {
      EXPECT_EQ(got.file, kHostFile) << r.name;
    }
  }
}

TEST(SplitWalk, SmallOrHeldWholeAnswersStayOnOneThread) {
  const std::string drawing = GenerateExchangeFile(3000, 2);
  TJwwSplitTuning belowThreshold = SplitAt(0, 64);
  belowThreshold.minRecords = 3001;
  TempDir dir;
  EXPECT_EQ(WalkFile(drawing, dir.path(), belowThreshold).outcome, TJwwSplitOutcome::OneThread);
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, drawing);
  JwwWriteInit(d);
  const TuningScope scope(SplitAt(0, 64));
  JwwWriteData(d, TJwwOverrides{}, nullptr, nullptr);  // no stream target: held whole
  EXPECT_EQ(JwwLastSplitOutcome(), TJwwSplitOutcome::OneThread);
}

// Each field of the writer state changed alone makes another state; so does
// the sign of a zero, which a value compare would miss.
TEST(SplitWalk, WriterStatesDifferInAnyOneField) {
  using TChange = void (*)(TJwwAttrState&, TJwwPending&);
  const struct {
    const char* name;
    TChange change;
    bool same;
  } rows[] = {
      {"nothing", [](TJwwAttrState&, TJwwPending&) {}, true},
      {"CurLg", [](TJwwAttrState& a, TJwwPending&) { a.CurLg = 5; }, false},
      {"CurLy", [](TJwwAttrState& a, TJwwPending&) { a.CurLy = 5; }, false},
      {"CurLc", [](TJwwAttrState& a, TJwwPending&) { a.CurLc = 5; }, false},
      {"CurLt", [](TJwwAttrState& a, TJwwPending&) { a.CurLt = 5; }, false},
      {"CurLw", [](TJwwAttrState& a, TJwwPending&) { a.CurLw = 5; }, false},
      {"CurCn", [](TJwwAttrState& a, TJwwPending&) { a.CurCn = 5; }, false},
      {"CurTextWidth", [](TJwwAttrState& a, TJwwPending&) { a.CurTextWidth = 2.5; }, false},
      {"CurTextHeight", [](TJwwAttrState& a, TJwwPending&) { a.CurTextHeight = 2.5; }, false},
      {"CurTextSpacing -0", [](TJwwAttrState& a, TJwwPending&) { a.CurTextSpacing = -0.0; }, false},
      {"CurTextColour", [](TJwwAttrState& a, TJwwPending&) { a.CurTextColour = 5; }, false},
      {"CurCc", [](TJwwAttrState& a, TJwwPending&) { a.CurCc = 5; }, false},
      {"CurFont", [](TJwwAttrState& a, TJwwPending&) { a.CurFont += "x"; }, false},
      {"CurPn", [](TJwwAttrState& a, TJwwPending&) { a.CurPn = 5; }, false},
      {"CurLc10", [](TJwwAttrState& a, TJwwPending&) { a.CurLc10 = 5; }, false},
      {"CurHhp", [](TJwwAttrState& a, TJwwPending&) { a.CurHhp = 5; }, false},
      {"CurZ", [](TJwwAttrState& a, TJwwPending&) { a.CurZ = 5; }, false},
      {"PolylineNo", [](TJwwAttrState& a, TJwwPending&) { a.PolylineNo = 5; }, false},
      {"InPolyline", [](TJwwAttrState& a, TJwwPending&) { a.InPolyline = true; }, false},
      {"DimPending", [](TJwwAttrState& a, TJwwPending&) { a.DimPending = true; }, false},
      {"NeedLg", [](TJwwAttrState&, TJwwPending& p) { p.NeedLg = false; }, false},
      {"NeedLy", [](TJwwAttrState&, TJwwPending& p) { p.NeedLy = false; }, false},
      {"NeedLc", [](TJwwAttrState&, TJwwPending& p) { p.NeedLc = false; }, false},
      {"NeedLt", [](TJwwAttrState&, TJwwPending& p) { p.NeedLt = false; }, false},
      {"NeedLw", [](TJwwAttrState&, TJwwPending& p) { p.NeedLw = false; }, false},
      {"NeedCn", [](TJwwAttrState&, TJwwPending& p) { p.NeedCn = false; }, false},
      {"NeedCc", [](TJwwAttrState&, TJwwPending& p) { p.NeedCc = false; }, false},
      {"NeedFont", [](TJwwAttrState&, TJwwPending& p) { p.NeedFont = false; }, false},
      {"NeedPn", [](TJwwAttrState&, TJwwPending& p) { p.NeedPn = false; }, false},
      {"NeedLc10", [](TJwwAttrState&, TJwwPending& p) { p.NeedLc10 = false; }, false},
  };
  TJwwData d;
  JwwDataInit(d);
  JwwWriteInit(d);
  for (const auto& r : rows) {
    TJwwAttrState attr = d.attr;
    TJwwPending need = d.need;
    r.change(attr, need);
    EXPECT_EQ(JwwSameWriterState(d.attr, d.need, attr, need), r.same) << r.name;
    EXPECT_EQ(JwwSameWriterState(attr, need, d.attr, d.need), r.same) << r.name;
  }
  // The same NaN is the same state: it writes alike.
  TJwwAttrState nan = d.attr;
  nan.CurTextWidth = std::nan("");
  EXPECT_TRUE(JwwSameWriterState(nan, d.need, nan, d.need));
}

}  // namespace
