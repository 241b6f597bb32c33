// A large answer streamed through a temporary file while it is built: the file
// written equals the answer held whole in memory, and a failed write, Escape or
// an answer never written leave the host's file and no temporary file behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>

#include "exchange/file/atomic_file.h"
#include "exchange/read/reader.h"
#include "exchange/write/writer.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHostFile = "the host's drawing\r\n";

// Escape goes down at the given poll (counting from 1); never when 0.
class EscapeAtPoll final : public IJwwEscapeKey {
 public:
  explicit EscapeAtPoll(int poll) : poll_(poll) {}
  bool IsEscapeDown() override { return ++polls_ == poll_; }

 private:
  int poll_;
  int polls_ = 0;
};

// Fails the streamed write once this many bytes have gone out.
class FailWriteAfter final : public IFileReplaceSeam {
 public:
  explicit FailWriteAfter(std::size_t bytes) : bytes_(bytes) {}
  bool AllowWrite(std::size_t written) override { return written < bytes_; }

 private:
  std::size_t bytes_;
};

TJwwData ReadDrawing(const std::string& bytes) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, bytes);
  return d;
}

// The answer to `bytes` written into `target`, streamed there when `stream`.
bool Answer(const std::string& bytes, const fs::path& target, bool stream, bool* streamed = nullptr,
            IJwwEscapeKey* escape = nullptr, IFileReplaceSeam* seam = nullptr) {
  TJwwData d = ReadDrawing(bytes);
  TJwwWriter w(d);
  if (stream) w.Output.StreamTo(target, seam);
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, nullptr, escape);
  if (streamed != nullptr) *streamed = w.Output.Streaming();
  return JwwWriteFile(w, target);
}

std::size_t FilesIn(const fs::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
  return n;
}

struct TDrawingCase {
  const char* name;
  std::size_t entities;
  std::uint32_t seed;
  bool streams;  // large enough to go past one chunk
};

class AnswerStream : public ::testing::TestWithParam<TDrawingCase> {};

TEST_P(AnswerStream, FileEqualsTheAnswerHeldInMemory) {
  const TDrawingCase& c = GetParam();
  const std::string drawing = GenerateExchangeFile(c.entities, c.seed);
  TempDir dir;
  const fs::path whole = dir / "whole.txt";
  const fs::path streamedPath = dir / "JWC_TEMP.TXT";
  WriteFileBytes(streamedPath, kHostFile);
  ASSERT_TRUE(Answer(drawing, whole, false));
  bool streamed = false;
  ASSERT_TRUE(Answer(drawing, streamedPath, true, &streamed));
  EXPECT_EQ(streamed, c.streams);
  const std::string expected = ReadFileBytes(whole);
  const std::string got = ReadFileBytes(streamedPath);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Drawings, AnswerStream,
                         ::testing::Values(TDrawingCase{"Small", 500, 3, false},
                                           TDrawingCase{"TwoChunks", 25000, 1, true},
                                           TDrawingCase{"SeveralChunks", 60000, 7, true}),
                         [](const ::testing::TestParamInfo<TDrawingCase>& p) { return std::string(p.param.name); });

// Ways a streaming answer ends without taking the host's file.
struct TAbortCase {
  const char* name;
  int escapeAtPoll;          // 0: no Escape
  std::size_t failAfter;     // bytes the seam lets through; 0: no failure
  bool otherTarget;          // written to another file than the one streamed for
  bool writeSucceeds;
  std::string_view hostFileAfter;  // empty: the closing lines written over it
};

class StreamAbort : public ::testing::TestWithParam<TAbortCase> {};

TEST_P(StreamAbort, LeavesTheHostsFileAndNoTemporaryFile) {
  const TAbortCase& c = GetParam();
  const std::string drawing = GenerateExchangeFile(40000, 5);
  TempDir dir;
  const fs::path host = dir / "JWC_TEMP.TXT";
  WriteFileBytes(host, kHostFile);
  EscapeAtPoll escape(c.escapeAtPoll);
  FailWriteAfter seam(c.failAfter == 0 ? SIZE_MAX : c.failAfter);
  TJwwData d = ReadDrawing(drawing);
  TJwwWriter w(d);
  w.Output.StreamTo(c.otherTarget ? dir / "other.txt" : host, &seam);
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, nullptr, &escape);
  EXPECT_EQ(JwwWriteFile(w, host), c.writeSucceeds);
  if (c.hostFileAfter.empty()) {
    // Escape after streaming began: only closing lines, never the streamed part.
    const std::string answer = ReadFileBytes(host);
    EXPECT_LT(answer.size(), 20u);
    EXPECT_EQ(answer.rfind("lg", 0), 0u);
  } else {
    EXPECT_EQ(ReadFileBytes(host), c.hostFileAfter);
  }
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Aborts, StreamAbort,
    ::testing::Values(TAbortCase{"WriteFailsInTheFirstChunk", 0, 1, false, false, kHostFile},
                      TAbortCase{"WriteFailsAfterTwoChunks", 0, 2 * TJwwOutputBuffer::kStreamChunk, false, false,
                                 kHostFile},
                      TAbortCase{"EscapeAfterStreamingBegan", 300, 0, false, true, ""},
                      TAbortCase{"WrittenToAnotherFile", 0, 0, true, false, kHostFile}),
    [](const ::testing::TestParamInfo<TAbortCase>& p) { return std::string(p.param.name); });

TEST(StreamAbort, AnswerNeverWrittenLeavesNoTemporaryFile) {
  const std::string drawing = GenerateExchangeFile(40000, 9);
  TempDir dir;
  const fs::path host = dir / "JWC_TEMP.TXT";
  WriteFileBytes(host, kHostFile);
  {
    TJwwData d = ReadDrawing(drawing);
    TJwwWriter w(d);
    w.Output.StreamTo(host);
    JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
    ASSERT_TRUE(w.Output.Streaming());
    EXPECT_EQ(FilesIn(dir.path()), 2u);
    JwwClearOutput(w);
  }
  EXPECT_EQ(ReadFileBytes(host), kHostFile);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

// Why a streamed answer was not written reaches the caller, whenever the
// failure happened: at the first chunk (a read-only target is refused, never
// replaced) or chunks later (the disk filled up).
class DiskFullAfter final : public IFileReplaceSeam {
 public:
  explicit DiskFullAfter(std::size_t bytes) : bytes_(bytes) {}
  bool AllowWrite(std::size_t written) override { return written < bytes_; }
  int FailureCode() override { return ENOSPC; }

 private:
  std::size_t bytes_;
};

TEST(StreamAbort, SaysWhyAStreamedAnswerWasNotWritten) {
  const struct {
    const char* name;
    bool readOnly;
    std::size_t fullAfter;  // SIZE_MAX: the disk never fills
    TFileFailure failure;
    std::string_view step;
    int code;
  } rows[] = {
      {"ReadOnlyTarget", true, SIZE_MAX, TFileFailure::ReadOnly, "replace", 0},
      {"DiskFullAfterTwoChunks", false, 2 * TJwwOutputBuffer::kStreamChunk, TFileFailure::System, "write", ENOSPC},
  };
  const std::string drawing = GenerateExchangeFile(60000, 11);
  for (const auto& r : rows) {
    TempDir dir;
    const fs::path host = dir / "JWC_TEMP.TXT";
    WriteFileBytes(host, kHostFile);
    if (r.readOnly) fs::permissions(host, fs::perms::owner_write, fs::perm_options::remove);
    DiskFullAfter seam(r.fullAfter);
    TJwwData d = ReadDrawing(drawing);
    TJwwWriter w(d);
    w.Output.StreamTo(host, &seam);
    JwwPutLine(w, "hd");
    JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
    TFileError error;
    EXPECT_FALSE(JwwWriteFile(w, host, &error)) << r.name;
    EXPECT_EQ(error.failure, r.failure) << r.name;
    EXPECT_EQ(std::string_view(error.step), r.step) << r.name;
    if (r.code != 0) {
      EXPECT_EQ(error.code, r.code) << r.name;
    }
    EXPECT_EQ(ReadFileBytes(host), kHostFile) << r.name;
    EXPECT_EQ(FilesIn(dir.path()), 1u) << r.name << ": a temporary file was left behind";
    fs::permissions(host, fs::perms::owner_write, fs::perm_options::add);
  }
}

// The host reads the answer back at once: no way of writing it waits for the
// disk (the preset file does).
TEST(AnswerDurability, NoAnswerWaitsForTheDisk) {
  class FlushCount final : public IFileReplaceSeam {
   public:
    bool AllowFlush(const fs::path&) override { return ++flushes > 0; }
    bool AllowFlushFolder(const fs::path&) override { return ++flushes > 0; }
    bool AllowReplace(const fs::path&) override { return ++replaces > 0; }
    int flushes = 0;
    int replaces = 0;
  };
  struct Case {
    const char* name;
    std::size_t entities;  // 0: Cancel, the answer "hq"
    bool stream;
  };
  for (const Case& c : {Case{"hq", 0, false}, Case{"held whole", 500, false}, Case{"streamed", 25000, true}}) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path target = dir / "JWC_TEMP.TXT";
    FlushCount seam;
    TJwwData d = ReadDrawing(GenerateExchangeFile(c.entities, 1));
    TJwwWriter w(d);
    if (c.stream) w.Output.StreamTo(target, &seam);
    if (c.entities > 0) {
      JwwPutLine(w, "hd");
      JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
    }
    ASSERT_EQ(w.Output.Streaming(), c.stream);
    ASSERT_TRUE(JwwWriteFile(w, target, nullptr, c.stream ? nullptr : &seam));
    EXPECT_EQ(seam.replaces, 1);
    EXPECT_EQ(seam.flushes, 0);
  }
}

}  // namespace
