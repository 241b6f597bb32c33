// Replacing a file through a temporary file: the target is either the old file
// or the complete new one, and no temporary file is left behind.
#include "exchange/atomic_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

// Fails the chosen step; remembers the temporary file and how far writing got.
class FailingSeam : public IFileReplaceSeam {
 public:
  enum class Step { None, Create, WriteStart, WriteMiddle, Replace };
  explicit FailingSeam(Step step) : step_(step) {}
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
};

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// More than one write chunk, so a write can fail part-way.
std::string BigAnswer() { return std::string(3u << 20, 'x') + "\r\n"; }

struct StepCase {
  const char* name;
  FailingSeam::Step step;
};

class FailedStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(FailedStep, LeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const fs::path target = dir / "JWC_TEMP.TXT";
  WriteFileBytes(target, "hq\r\n");
  FailingSeam seam(GetParam().step);
  EXPECT_FALSE(ReplaceFileContents(target, BigAnswer(), &seam));
  EXPECT_EQ(ReadFileBytes(target), "hq\r\n");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_EQ(seam.temp.parent_path(), dir.path());
  if (GetParam().step == FailingSeam::Step::WriteMiddle) {
    EXPECT_TRUE(seam.tempExistedMidWrite);
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedStep,
                         ::testing::Values(StepCase{"Create", FailingSeam::Step::Create},
                                           StepCase{"WriteStart", FailingSeam::Step::WriteStart},
                                           StepCase{"WriteMiddle", FailingSeam::Step::WriteMiddle},
                                           StepCase{"Replace", FailingSeam::Step::Replace}),
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

TEST(ReplaceFileContents, JapaneseFolderNames) {
  TempDir dir;
  const fs::path folder = dir.path() / fs::path(u8"\u56f3\u9762");  // "図面"
  fs::create_directory(folder);
  EXPECT_TRUE(ReplaceFileContents(folder / "JWC_TEMP.TXT", "hd\r\n"));
  EXPECT_EQ(ReadFileBytes(folder / "JWC_TEMP.TXT"), "hd\r\n");
}

}  // namespace
