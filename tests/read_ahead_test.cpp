// Reading with lines read ahead on a second thread leaves the store a reading
// on one thread leaves: the same records in the same order, the same lines
// marked for copying, the same bytes counted and the same answer, for lines
// cut at every kind of block boundary, CRs anywhere, Ctrl-Z, a last line
// without a line end, lines longer than a block, and lines the split drops or
// moves bytes of, whether the second thread cut them or the first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <ios>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

#include "exchange/read_ahead.h"
#include "exchange/reader.h"
#include "exchange/writer.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

struct TRead {
  std::vector<TJwwOrder> order;
  uint64_t bytesRead = 0;
  std::string answer;
};

TRead Finish(TJwwData& d, const TempDir& dir, const char* name) {
  d.LineOffset = TJwwData::kNoLineOffset;
  d.ReadOutcome = TJwwReadOutcome::Complete;
  TRead r;
  for (const TJwwOrder& o : d.Order) r.order.push_back(o);
  r.bytesRead = d.BytesRead;
  JwwWriteData(d, TJwwOverrides{}, nullptr, nullptr);
  const std::filesystem::path out = dir / name;
  EXPECT_TRUE(JwwWriteFile(d, out));
  r.answer = ReadFileBytes(out);
  return r;
}

// A file this small is read on one thread.
TRead OnOneThread(const std::filesystem::path& file, const TempDir& dir) {
  TJwwData d;
  JwwDataInit(d);
  EXPECT_TRUE(JwwReadFile(d, file));
  return Finish(d, dir, "one.txt");
}

TRead ReadAhead(const std::filesystem::path& file, std::size_t block, const TempDir& dir,
                TJwwCutAhead cut = TJwwCutAhead::kUntilTaken) {
  TJwwData d;
  JwwDataInit(d);
  auto source = std::make_shared<TJwwSourceFile>();
  EXPECT_TRUE(source->Open(file));
  d.Source = std::move(source);
  std::ifstream in(file, std::ios::binary);
  const std::optional<bool> read = JwwReadStreamAhead(d, in, block, nullptr, 0, cut);
  EXPECT_TRUE(read.has_value() && *read);
  return Finish(d, dir, "ahead.txt");
}

bool SameOrder(const std::vector<TJwwOrder>& a, const std::vector<TJwwOrder>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].index != b[i].index || a[i].source != b[i].source) return false;
  }
  return true;
}

// Where two answers first differ, or "same": comparing whole answers of a
// large drawing with EXPECT_EQ would have GoogleTest diff them line by line.
std::string FirstDifference(const std::string& a, const std::string& b) {
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (at.first == a.end() && at.second == b.end()) return "same";
  const auto i = static_cast<std::size_t>(at.first - a.begin());
  return "differ at byte " + std::to_string(i) + ": [" + a.substr(i, 40) + "] [" + b.substr(i, 40) + "]";
}

struct AheadCase {
  const char* name;
  std::string bytes;
};

std::string Crlf(std::string lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const std::string kLines =
    "hq\nlg1\nly2\nlc3\n1 2 3 4\n-5.5 6.25 7 8\nci 1 2 3\n9 10 11 12\n  1 2 3 4\n1\t2 3 4\n1 2 3\n"
    "1 2 3 4 5\n1.50 2 3 4\n-0 1e3 2 3\nch 1 2 3 4 \"text with 1 2 3 4\n\n0.1 0.2 0.3 0.4\n";

// Lines whose split drops or moves bytes (quotes, "=", double-byte pairs,
// control bytes, a lead byte last), keeps more fields than it names, or finds
// none, each between plain lines so that both kinds share every block.
const std::string kSplitLines =
    "hq\n1 2 3 4\nci \"1.5\" 2 3\n5 6 7 8\nch 1 2 3 4 \"\x82\xa0\x82\xa2 \x93\xfa" "\n9 10 11 12\n"
    "lc=3\nly 1\x01\x7f" "2\n\t \t\n13 14 15 16\nsl 1 2 3 4 \x81\nci  7\t8   9 \n" +
    std::string("pl") + std::string(40, ' ') + "\n" +
    [] {
      std::string many = "sc";
      for (int i = 0; i < 40; ++i) many += " " + std::to_string(i);
      return many + "\n";
    }() +
    "cs 1 2 3 4 \"a\"b=c \"\nbk \"blk\" 1 2\n-1.25 2.5 3.75 4\n";

class ReadAheadTest : public testing::TestWithParam<AheadCase> {};

TEST_P(ReadAheadTest, LeavesTheStoreOfAOneThreadReadingForEveryBlockSize) {
  TempDir dir;
  const std::filesystem::path file = dir / "JWC_TEMP.TXT";
  WriteFileBytes(file, GetParam().bytes);
  const TRead want = OnOneThread(file, dir);
  for (TJwwCutAhead cut : {TJwwCutAhead::kUntilTaken, TJwwCutAhead::kNone, TJwwCutAhead::kAll}) {
    for (std::size_t block : {8u, 13u, 64u, 333u, 4096u}) {
      SCOPED_TRACE("block " + std::to_string(block) + ", cut ahead " + std::to_string(static_cast<int>(cut)));
      const TRead got = ReadAhead(file, block, dir, cut);
      EXPECT_TRUE(SameOrder(got.order, want.order));
      // Bytes after a Ctrl-Z are counted as far as the block that holds it
      // reached (the count only sizes the answer's buffer).
      if (GetParam().bytes.find('\x1A') == std::string::npos) {
        EXPECT_EQ(got.bytesRead, want.bytesRead);
      }
      EXPECT_EQ(FirstDifference(got.answer, want.answer), "same");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadAheadTest,
    testing::Values(AheadCase{"LfLines", kLines}, AheadCase{"CrLfLines", Crlf(kLines)},
                    AheadCase{"CrInsideLines", "hq\n1 2\r 3 4\r\n5 6 7 8\r\r\n\r9 10 11 12\n1 2 3 4\r"},
                    AheadCase{"CtrlZEndsTheFile", "hq\n1 2 3 4\n5 6 \x1A 7 8\n9 10 11 12\n"},
                    AheadCase{"LastLineWithoutLineEnd", "hq\nlg2\n1 2 3 4\n5 6 7 8"},
                    AheadCase{"LinesLongerThanABlock",
                              "hq\n" + std::string(700, ' ') + "1 2 3 4\nch 0 0 1 0 \"" + std::string(900, 'x') +
                                  "\n-1.25 2.5 3.75 4\n"},
                    AheadCase{"OnlyLineEnds", "\n\n\r\n\n"}, AheadCase{"Empty", ""},
                    AheadCase{"LinesTheSplitChanges", kSplitLines},
                    AheadCase{"LinesTheSplitChangesCrLf", Crlf(kSplitLines)},
                    AheadCase{"GeneratedDrawing", GenerateExchangeFile(300, 5)}),
    [](const testing::TestParamInfo<AheadCase>& p) { return std::string(p.param.name); });

// A file of several megabytes is read on two threads by the reader itself,
// and gives the answer its bytes give when read from memory.
TEST(ReadAheadFile, LargeFileReadsAsItsBytesRead) {
  TempDir dir;
  const std::string bytes = GenerateExchangeFile(40000, 9);
  ASSERT_GT(bytes.size(), std::size_t{2} << 20);
  const std::filesystem::path file = dir / "JWC_TEMP.TXT";
  WriteFileBytes(file, bytes);
  const TRead fromFile = OnOneThread(file, dir);

  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, bytes);
  const TRead fromBytes = Finish(d, dir, "bytes.txt");
  EXPECT_EQ(fromFile.bytesRead, bytes.size());
  EXPECT_EQ(FirstDifference(fromFile.answer, fromBytes.answer), "same");
  EXPECT_EQ(fromFile.order.size(), fromBytes.order.size());
}

// Serves `bytes` to whole reads until a read would pass `failAt`; that one
// fails as a disk does: errno set, the stream's bad bit (the exception is
// caught by the stream).
class TFailingBuffer : public std::streambuf {
 public:
  TFailingBuffer(std::string bytes, std::size_t failAt, int code)
      : bytes_(std::move(bytes)), failAt_(failAt), code_(code) {}

 protected:
  std::streamsize xsgetn(char* out, std::streamsize n) override {
    const std::size_t want = static_cast<std::size_t>(n);
    if (pos_ + want > failAt_) {
      errno = code_;
      throw std::ios_base::failure("the disk failed");
    }
    const std::size_t served = std::min(want, bytes_.size() - pos_);
    bytes_.copy(out, served, pos_);
    pos_ += served;
    return static_cast<std::streamsize>(served);
  }

 private:
  std::string bytes_;
  std::size_t failAt_;
  int code_;
  std::size_t pos_ = 0;
};

// A read that fails part-way: the blocks read before it are in the store, in
// order, nothing after it, and the system's reason reaches the caller although
// the read failed on the other thread.
TEST(ReadAheadFailure, KeepsTheBlocksBeforeAndTheSystemsReason) {
  constexpr std::size_t kBlock = 4096;
  const std::string bytes = GenerateExchangeFile(2000, 3);
  TJwwData whole;
  JwwDataInit(whole);
  JwwReadBytes(whole, bytes);
  struct TFailCase {
    std::size_t failAt;
    int code;
  };
  for (const TFailCase& c : {TFailCase{0, EIO}, TFailCase{kBlock / 2, EIO}, TFailCase{5 * kBlock + 17, ENOSPC},
                             TFailCase{bytes.size() / 2, EACCES}, TFailCase{bytes.size() - 10, EIO}}) {
    SCOPED_TRACE(c.failAt);
    TFailingBuffer buffer(bytes, c.failAt, c.code);
    std::istream in(&buffer);
    TJwwData d;
    JwwDataInit(d);
    errno = 0;
    const std::optional<bool> read = JwwReadStreamAhead(d, in, kBlock, nullptr, bytes.size());
    const int reason = errno;
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(*read);
    EXPECT_EQ(reason, c.code);
    ASSERT_LT(d.Order.size(), whole.Order.size());
    EXPECT_LE(d.BytesRead, c.failAt);
    for (std::size_t i = 0; i < d.Order.size(); ++i) {
      ASSERT_EQ(d.Order[i].kind, whole.Order[i].kind) << i;
      ASSERT_EQ(d.Order[i].index, whole.Order[i].index) << i;
    }
    // Every whole block read before the failing one was taken.
    if (c.failAt >= 3 * kBlock) {
      EXPECT_GT(d.Order.size(), 0u);
    }
  }
}

}  // namespace
