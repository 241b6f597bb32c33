// Chunks written on the second thread arrive whole and in order, their room is
// handed back to be filled again, and a failed write is told at the end while
// the target stays as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exchange/chunk_writer.h"
#include "tests/support/files.h"

namespace {

// Refuses every write from the given one on (counted from 0).
class RefusingSeam : public IFileReplaceSeam {
 public:
  explicit RefusingSeam(int from) : from_(from) {}
  bool AllowWrite(std::size_t) override { return writes_++ < from_; }
  int FailureCode() override { return ENOSPC; }

 private:
  int from_;
  int writes_ = 0;
};

void Fill(TJwwChunkWriter::TChunk& chunk, const std::string& text) {
  ASSERT_GE(chunk.capacity, text.size());
  std::memcpy(chunk.bytes.get(), text.data(), text.size());
  chunk.size = text.size();
}

std::string ChunkText(int i, std::size_t size) {
  std::string text(size, static_cast<char>('a' + i % 26));
  text.front() = '<';
  text.back() = '>';
  return text;
}

struct WriteCase {
  const char* name;
  int chunks;
  std::size_t capacity;
  int refuseFrom;  // -1: every write allowed
};

class ChunkWriterTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ChunkWriterTest, WritesChunksInOrderOrTellsTheFailure) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const auto target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, "hq\r\n");
  RefusingSeam seam(c.refuseFrom < 0 ? 1 << 30 : c.refuseFrom);
  TFileReplacement file(target, &seam);
  std::string want;
  {
    TJwwChunkWriter writer(file);
    TJwwChunkWriter::TChunk chunk;
    chunk.bytes.reset(new char[c.capacity]);
    chunk.capacity = c.capacity;
    for (int i = 0; i < c.chunks; ++i) {
      const std::string text = ChunkText(i, c.capacity - static_cast<std::size_t>(i % 3));
      Fill(chunk, text);
      want += text;
      writer.Hand(chunk);
      // Room to fill next: empty, at least as large as the chunk handed over.
      EXPECT_EQ(chunk.size, 0u);
      EXPECT_GE(chunk.capacity, c.capacity);
      ASSERT_NE(chunk.bytes, nullptr);
    }
    const bool wrote = writer.Finish();
    EXPECT_EQ(wrote, c.refuseFrom < 0 || c.refuseFrom >= c.chunks);
    if (wrote) {
      EXPECT_EQ(writer.Handed(), want.size());
    }
  }
  if (c.refuseFrom >= 0 && c.refuseFrom < c.chunks) {
    EXPECT_TRUE(file.Error().Failed());
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadFileBytes(target), "hq\r\n");
  } else {
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(ReadFileBytes(target) == want);
  }
}

INSTANTIATE_TEST_SUITE_P(Chunks, ChunkWriterTest,
                         testing::Values(WriteCase{"None", 0, 64, -1}, WriteCase{"One", 1, 64, -1},
                                         WriteCase{"Many", 200, 4096, -1}, WriteCase{"Large", 12, 1 << 20, -1},
                                         WriteCase{"FirstRefused", 5, 256, 0}, WriteCase{"MiddleRefused", 9, 256, 4},
                                         WriteCase{"LastRefused", 6, 256, 5}),
                         [](const testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

}  // namespace
