// The batch command's checks before it touches a file: the exchange file's
// first line, the answer's path, the preset file's shape.
#include "app/cli_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "app/preset_check.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

TEST(CheckExchangeFirstLine, OnlyTheHostsOpeningOrAnAnswerPasses) {
  const struct {
    std::string bytes;
    TFirstLineVerdict verdict;
    const char* shown;
  } rows[] = {
      {"hq\r\nlg0\r\n", TFirstLineVerdict::Ours, "hq"},
      {"hd\r\n", TFirstLineVerdict::Ours, "hd"},
      {"hq", TFirstLineVerdict::Ours, "hq"},      // no line end
      {"hd \r\n", TFirstLineVerdict::Ours, "hd"},  // a blank after it
      {"hq\n", TFirstLineVerdict::Ours, "hq"},
      {"", TFirstLineVerdict::Other, ""},
      {"HQ\r\n", TFirstLineVerdict::Other, "HQ"},
      {"\r\nhq\r\n", TFirstLineVerdict::Other, ""},
      {"lg0\r\nly0\r\n", TFirstLineVerdict::Other, "lg0"},
      {std::string(300, 'h'), TFirstLineVerdict::Other, nullptr},
  };
  TempDir dir;
  for (const auto& r : rows) {
    WriteFileBytes(dir / "x.txt", r.bytes);
    const TFirstLineCheck check = CheckExchangeFirstLine(dir / "x.txt");
    EXPECT_EQ(check.verdict, r.verdict) << r.bytes.substr(0, 10);
    if (r.shown != nullptr) {
      EXPECT_EQ(check.shown, r.shown) << r.bytes.substr(0, 10);
    }
  }
  EXPECT_LT(CheckExchangeFirstLine(dir / "x.txt").shown.size(), 60u) << "a long line is cut for the message";
  EXPECT_EQ(CheckExchangeFirstLine(dir / "none.txt").verdict, TFirstLineVerdict::Missing);
  const TFirstLineCheck folder = CheckExchangeFirstLine(dir.path());
  EXPECT_EQ(folder.verdict, TFirstLineVerdict::Unreadable);
  EXPECT_TRUE(folder.error.Failed());
}

TEST(OutputPathProblem, OnlyAWritableFileNameInAFolderPasses) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFileBytes(dir / "plain.txt", "x");
  WriteFileBytes(dir / "locked.txt", "x");
  fs::permissions(dir / "locked.txt", fs::perms::owner_write, fs::perm_options::remove);
  const struct {
    fs::path path;
    const char* problem;  // a part of it; "" for none
  } rows[] = {
      {dir / "plain.txt", ""},
      {dir / "new.txt", ""},
      {fs::path("relative-new.txt"), ""},
      {fs::path(), "no file name"},
      {dir / "sub", "is a folder"},
      {dir / "missing" / "x.txt", "does not exist"},
      {dir / "plain.txt" / "x.txt", "is not a folder"},
      {dir / "locked.txt", "read-only"},
  };
  for (const auto& r : rows) {
    const std::string problem = OutputPathProblem(r.path);
    if (*r.problem == '\0') {
      EXPECT_EQ(problem, "") << r.path;
    } else {
      EXPECT_NE(problem.find(r.problem), std::string::npos) << r.path << ": " << problem;
    }
  }
}

// The lines of a whole preset file, all zeros.
std::string PresetText(int lines, std::string_view eol = "\r\n") {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += i == 2 ? "" : "0";
    text += eol;
  }
  return text;
}

TEST(PresetFileProblem, AWholePresetFileHasItsLinesAndNumbers) {
  const struct {
    const char* name;
    std::string bytes;
    const char* problem;  // a part of it; "" for none
  } rows[] = {
      {"whole", PresetText(5148), ""},
      {"LF line ends", PresetText(5148, "\n"), ""},
      {"no line end after the last", PresetText(5148).substr(0, PresetText(5148).size() - 2), ""},
      {"empty lines past the end", PresetText(5148) + "\r\n\r\n", ""},
      {"signed and indented numbers", " -12\r\n+3\r\n\r\n 7\r\ncomment\r\n-1\r\n" + PresetText(5142), ""},
      {"one line short", PresetText(5147), "5147 lines"},
      {"one line more", PresetText(5148) + "1\r\n", "5149 lines"},
      {"empty", "", "0 lines"},
      {"a word for the left edge", "left\r\n" + PresetText(5147), "line 1 is 'left'"},
      {"a trailing blank on the tab", "0\r\n0\r\n\r\n1 \r\n" + PresetText(5144), "line 4"},
      {"no digits after the sign", "0\r\n0\r\n\r\n1\r\n\r\n-\r\n" + PresetText(5142), "line 6"},
  };
  TempDir dir;
  for (const auto& r : rows) {
    WriteFileBytes(dir / "t905.dat", r.bytes);
    const std::string problem = PresetFileProblem(dir / "t905.dat");
    if (*r.problem == '\0') {
      EXPECT_EQ(problem, "") << r.name;
    } else {
      EXPECT_NE(problem.find(r.problem), std::string::npos) << r.name << ": " << problem;
    }
  }
}

}  // namespace
