// Replacing a file through a temporary file: the target is either the old file
// or the complete new one, and no temporary file is left behind.
#include "exchange/file/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

// Fails the chosen step; remembers the temporary file and how far writing got.
class FailingSeam : public IFileReplaceSeam {
 public:
  enum class Step { None, Create, WriteStart, WriteMiddle, Replace };
  explicit FailingSeam(Step step, int code = EIO) : step_(step), code_(code) {}
  int FailureCode() override { return code_; }
  bool AllowCreate(const fs::path& t) override {
    temp = t;
    return step_ != Step::Create;
  }
  bool AllowWrite(std::size_t written) override {
    if (step_ == Step::WriteStart) return false;
    if (step_ == Step::WriteMiddle && written > 0) {
      tempExistedMidWrite = fs::exists(temp);
      return false;
    }
    return true;
  }
  bool AllowReplace(const fs::path& target) override {
    (void)target;
    return step_ != Step::Replace;
  }
  fs::path temp;
  bool tempExistedMidWrite = false;

 private:
  Step step_;
  int code_;
};

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// More than one write chunk, so a write can fail part-way.
std::string BigAnswer() { return std::string(3u << 20, 'x') + "\r\n"; }

struct StepCase {
  const char* name;
  FailingSeam::Step step;
  const char* reportedStep;
};

class FailedStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(FailedStep, LeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const fs::path target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, "hq\r\n");
  // A full disk, as the system reports it.
  FailingSeam seam(GetParam().step, ENOSPC);
  TFileError error;
  EXPECT_FALSE(ReplaceFileContents(target, BigAnswer(), &seam, &error));
  EXPECT_STREQ(error.step, GetParam().reportedStep);
  EXPECT_EQ(error.failure, TFileFailure::System);
  EXPECT_EQ(FileErrorReasonUtf8(error), std::strerror(ENOSPC));
  EXPECT_FALSE(IsAccessDenied(error)) << "a full disk is no reason to move the tool";
  EXPECT_EQ(ReadFileBytes(target), "hq\r\n");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_EQ(seam.temp.parent_path(), dir.path());
  if (GetParam().step == FailingSeam::Step::WriteMiddle) {
    EXPECT_TRUE(seam.tempExistedMidWrite);
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedStep,
                         ::testing::Values(StepCase{"Create", FailingSeam::Step::Create, "create"},
                                           StepCase{"WriteStart", FailingSeam::Step::WriteStart, "write"},
                                           StepCase{"WriteMiddle", FailingSeam::Step::WriteMiddle, "write"},
                                           StepCase{"Replace", FailingSeam::Step::Replace, "replace"}),
                         [](const ::testing::TestParamInfo<StepCase>& p) { return std::string(p.param.name); });

TEST(ReplaceFileContents, ReplacesAnExistingFileWhole) {
  TempDir dir;
  const fs::path target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, std::string(10000, 'o'));
  const std::string answer = BigAnswer();
  FailingSeam seam(FailingSeam::Step::None);
  EXPECT_TRUE(ReplaceFileContents(target, answer, &seam));
  EXPECT_EQ(ReadFileBytes(target), answer);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_FALSE(fs::exists(seam.temp));
}

TEST(ReplaceFileContents, CreatesAMissingFileAndWritesEmptyContents) {
  TempDir dir;
  EXPECT_TRUE(ReplaceFileContents(dir / "new.txt", "hq\r\n"));
  EXPECT_EQ(ReadFileBytes(dir / "new.txt"), "hq\r\n");
  EXPECT_TRUE(ReplaceFileContents(dir / "new.txt", ""));
  EXPECT_EQ(ReadFileBytes(dir / "new.txt"), "");
}

// What the system refused, and in which step, reaches the caller.
TEST(ReplaceFileContents, ReadOnlyTargetIsRefusedAndKeptAsItWas) {
  TempDir dir;
  const fs::path target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, "hq\r\n");
  fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  TFileError error;
  EXPECT_FALSE(ReplaceFileContents(target, "hd\r\n", nullptr, &error));
  EXPECT_EQ(error.failure, TFileFailure::ReadOnly);
  EXPECT_TRUE(IsAccessDenied(error));
  EXPECT_EQ(FileErrorReasonUtf8(error), "the file is read-only");
  EXPECT_EQ(ReadFileBytes(target), "hq\r\n");
  EXPECT_TRUE(IsReadOnlyFile(target)) << "the file must stay read-only";
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(ReplaceFileContents, SystemRefusalsCarryTheirStepAndReason) {
  TempDir dir;
  fs::create_directory(dir / "JWC_TEMP.TXT");
  const struct {
    fs::path target;
    const char* step;
  } rows[] = {
      {dir / "no" / "such" / "JWC_TEMP.TXT", "create"},  // the folder is missing
      {dir / "JWC_TEMP.TXT", "replace"},                  // a folder in the way
  };
  for (const auto& r : rows) {
    TFileError error;
    EXPECT_FALSE(ReplaceFileContents(r.target, "hd\r\n", nullptr, &error)) << r.target;
    EXPECT_STREQ(error.step, r.step) << r.target;
    EXPECT_EQ(error.failure, TFileFailure::System) << r.target;
    EXPECT_NE(error.code, 0) << r.target;
    EXPECT_FALSE(FileErrorReasonUtf8(error).empty());
  }
}

TEST(ReplaceFileContents, DirectoryInTheWayFails) {
  TempDir dir;
  fs::create_directory(dir / "JWC_TEMP.TXT");
  WriteFileBytes(dir / "JWC_TEMP.TXT" / "inside", "keep");
  EXPECT_FALSE(ReplaceFileContents(dir / "JWC_TEMP.TXT", "hd\r\n"));
  EXPECT_EQ(ReadFileBytes(dir / "JWC_TEMP.TXT" / "inside"), "keep");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(ReplaceFileContents, MissingFolderFails) {
  TempDir dir;
  EXPECT_FALSE(ReplaceFileContents(dir / "no" / "such" / "JWC_TEMP.TXT", "hd\r\n"));
  EXPECT_EQ(FilesIn(dir.path()), 0u);
}

// The descriptor that starts a large file's disk write goes with the file,
// however the replacement ends.
TEST(FileReplacement, LeavesNoDescriptorOpenHoweverItEnds) {
#ifdef __linux__
  const auto openDescriptors = [] { return FilesIn("/proc/self/fd"); };
  struct EndCase {
    const char* name;
    bool commit;
    std::size_t bytes;
  };
  for (const EndCase& c : {EndCase{"committed", true, 3u << 20}, EndCase{"abandoned", false, 3u << 20},
                           EndCase{"small, committed", true, 100}}) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::size_t before = openDescriptors();
    {
      TFileReplacement replacement(dir / "JWC_TEMP.TXT");
      for (std::size_t done = 0; done < c.bytes; done += 1u << 20) {
        ASSERT_TRUE(replacement.Write(std::string(std::min<std::size_t>(c.bytes - done, 1u << 20), 'x')));
      }
      if (c.commit) {
        ASSERT_TRUE(replacement.Commit());
      } else {
        replacement.Abandon();
      }
      EXPECT_EQ(openDescriptors(), before);
    }
    EXPECT_EQ(FilesIn(dir.path()), c.commit ? 1u : 0u);
    if (c.commit) {
      EXPECT_EQ(fs::file_size(dir / "JWC_TEMP.TXT"), c.bytes);
    }
  }
#else
  GTEST_SKIP() << "only Linux starts the disk write early";
#endif
}

// What each step sees when it is reached: the order of the steps and what
// lies on the disk at each.
class StepLog : public IFileReplaceSeam {
 public:
  explicit StepLog(fs::path target) : target_(std::move(target)) {}
  bool AllowCreate(const fs::path& temp) override {
    temp_ = temp;
    return Log("create");
  }
  bool AllowWrite(std::size_t) override { return Log("write"); }
  bool AllowFlush(const fs::path& temp) override { return Log(temp == temp_ ? "flush temp" : "flush other"); }
  bool AllowReplace(const fs::path&) override { return Log("replace"); }
  bool AllowFlushFolder(const fs::path& folder) override {
    return Log(folder == target_.parent_path() ? "flush folder" : "flush other folder");
  }
  std::string steps;

 private:
  // The step, with the temporary file's and the target's contents then.
  bool Log(const char* step) {
    steps += std::string(step) + " [" + Contents(temp_) + "|" + Contents(target_) + "] ";
    return true;
  }
  static std::string Contents(const fs::path& p) { return !p.empty() && fs::exists(p) ? ReadFileBytes(p) : "-"; }
  fs::path target_;
  fs::path temp_;
};

TEST(ReplaceFileContents, DurableReplacementReachesTheDiskBeforeAndAfterTheRename) {
  struct Case {
    TReplaceDurability durability;
    const char* steps;
  };
  const Case cases[] = {
      {TReplaceDurability::Cached, "create [-|old] write [|old] replace [new|old] "},
#ifdef _WIN32
      // MOVEFILE_WRITE_THROUGH puts the rename on the disk.
      {TReplaceDurability::Durable, "create [-|old] write [|old] flush temp [new|old] replace [new|old] "},
#else
      {TReplaceDurability::Durable,
       "create [-|old] write [|old] flush temp [new|old] replace [new|old] flush folder [-|new] "},
#endif
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path target = dir / "t905.dat";
    WriteFileBytes(target, "old");
    StepLog log(target);
    EXPECT_TRUE(ReplaceFileContents(target, "new", &log, nullptr, c.durability));
    EXPECT_EQ(log.steps, c.steps);
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(FilesIn(dir.path()), 1u);
  }
}

// A flush the system refuses fails the replacement as a failed write does; a
// refused folder flush comes after the new file is in place and changes nothing.
TEST(ReplaceFileContents, DurableReplacementWhoseFlushFails) {
  class RefuseFlush final : public IFileReplaceSeam {
   public:
    explicit RefuseFlush(bool folder) : folder_(folder) {}
    int FailureCode() override { return EIO; }
    bool AllowFlush(const fs::path&) override { return folder_; }
    bool AllowFlushFolder(const fs::path&) override { return !folder_; }

   private:
    bool folder_;
  };
  for (const bool folder : {false, true}) {
    TempDir dir;
    const fs::path target = dir / "t905.dat";
    WriteFileBytes(target, "old");
    RefuseFlush seam(folder);
    TFileError error;
    EXPECT_EQ(ReplaceFileContents(target, "new", &seam, &error, TReplaceDurability::Durable), folder);
    EXPECT_EQ(ReadFileBytes(target), folder ? "new" : "old");
    EXPECT_STREQ(error.step, folder ? "" : "write");
    EXPECT_EQ(FilesIn(dir.path()), 1u) << "no temporary file left behind";
  }
}

TEST(ReplaceFileContents, JapaneseFolderNames) {
  TempDir dir;
  const fs::path folder = dir.path() / fs::path(u8"\u56f3\u9762");  // "図面"
  fs::create_directory(folder);
  EXPECT_TRUE(ReplaceFileContents(folder / "JWC_TEMP.TXT", "hd\r\n"));
  EXPECT_EQ(ReadFileBytes(folder / "JWC_TEMP.TXT"), "hd\r\n");
}

}  // namespace
