// The preset file: its name, the 5148-line layout, the range and short-file
// rules, the canonical rewrite, and saving that never loses the old file.
#include "app/presets.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/preset_check.h"
#include "app/preset_lines.h"
#include "exchange/file/atomic_file.h"
#include "tests/support/files.h"
#include "util/text.h"

namespace {

constexpr int kLines = 5148;

// Line numbers (1-based) of the layout.
constexpr int CommentLine(int k) { return 5 + 257 * (k - 1); }
constexpr int WidthLine(int k, int i) { return 6 + 257 * (k - 1) + i; }

// A file of 5148 lines as the tool writes it: all widths -1, empty comments.
std::vector<std::string> CanonicalLines() {
  std::vector<std::string> lines(kLines, "-1");
  lines[0] = "0";
  lines[1] = "0";
  lines[2] = "";
  lines[3] = "1";
  for (int k = 1; k <= 20; ++k) lines[static_cast<std::size_t>(CommentLine(k) - 1)] = "";
  for (int i = kLines - 4; i < kLines; ++i) lines[static_cast<std::size_t>(i)] = "0";
  return lines;
}

std::string Join(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += end;
  }
  return out;
}

void Set(std::vector<std::string>& lines, int lineNo, std::string text) {
  lines[static_cast<std::size_t>(lineNo - 1)] = std::move(text);
}

struct Loaded {
  TPresetModel model;
  TPresetControls controls;
};

Loaded LoadBytes(const TempDir& dir, std::string_view bytes) {
  const auto path = dir / "t905.dat";
  WriteFileBytes(path, bytes);
  Loaded l;
  LoadPresets(path, l.model, l.controls);
  return l;
}

TEST(PresetPathFor, ReplacesTheExtensionFromTheLastDot) {
  struct Row {
    std::filesystem::path exe;
    std::filesystem::path want;
  };
  const Row rows[] = {
      {"dir/t905.exe", "dir/t905.dat"},
      {"dir/t905", "dir/t905.dat"},
      {"dir/my.tool.exe", "dir/my.tool.dat"},
      {"dir.v2/tool", "dir.v2/tool.dat"},
      {"t905.EXE", "t905.dat"},
  };
  for (const auto& r : rows) EXPECT_EQ(PresetPathFor(r.exe), r.want) << r.exe;
}

TEST(LoadPresets, MissingFileGivesDefaultsAndLeavesControls) {
  TempDir dir;
  TPresetModel model;
  model.SavedLeft = 7;
  model.CurrentTab = 5;
  model.Table(3).Widths[9] = 100;
  model.Table(3).Comment = "x";
  TPresetControls controls{true, true, true, true, "C:\\jww\\"};
  LoadPresets(dir / "none.dat", model, controls);

  EXPECT_EQ(model.SavedLeft, 0);
  EXPECT_EQ(model.SavedTop, 0);
  EXPECT_EQ(model.CurrentTab, 1);
  for (int k = 1; k <= 20; ++k) {
    EXPECT_EQ(model.Table(k).Comment, "");
    for (int32_t w : model.Table(k).Widths) ASSERT_EQ(w, -1);
  }
  EXPECT_TRUE(controls.CheckBox1 && controls.CheckBox3 && controls.CheckBox4 && controls.CheckBox5);
  EXPECT_EQ(controls.DialogFolder, "C:\\jww\\");
}

TEST(LoadPresets, DirectoryInPlaceOfTheFileGivesDefaults) {
  TempDir dir;
  std::filesystem::create_directory(dir / "t905.dat");
  TPresetModel model;
  model.CurrentTab = 4;
  TPresetControls controls{true, false, true, false, "keep"};
  LoadPresets(dir / "t905.dat", model, controls);
  EXPECT_EQ(model.CurrentTab, 1);
  EXPECT_TRUE(controls.CheckBox1);
  EXPECT_EQ(controls.DialogFolder, "keep");
}

TEST(LoadPresets, TabLineOutsideOneToTwentyBecomesOne) {
  const struct {
    const char* text;
    int32_t want;
  } rows[] = {{"0", 1}, {"21", 1}, {"abc", 1}, {"-3", 1}, {"", 1}, {"20", 20}, {"1", 1}, {" 5", 5}, {"$A", 10}};
  TempDir dir;
  for (const auto& r : rows) {
    auto lines = CanonicalLines();
    Set(lines, 4, r.text);
    EXPECT_EQ(LoadBytes(dir, Join(lines)).model.CurrentTab, r.want) << '"' << r.text << '"';
  }
}

TEST(LoadPresets, WidthLinesFollowTheRangeRule) {
  const struct {
    const char* text;
    int32_t want;
  } rows[] = {
      {"30000", 30000}, {"30001", -1}, {"-2", -1}, {"-1", -1},  {"0", 0},     {"abc", 0},
      {"", 0},          {" 12", 12},   {"12 ", 0}, {"+5", 5},   {"1.5", 0},   {"-2147483648", -1},
      {"99999999999", 0},
  };
  TempDir dir;
  for (const auto& r : rows) {
    auto lines = CanonicalLines();
    Set(lines, WidthLine(7, 42), r.text);
    const Loaded l = LoadBytes(dir, Join(lines));
    EXPECT_EQ(l.model.Table(7).Widths[42], r.want) << '"' << r.text << '"';
    EXPECT_EQ(l.model.Table(7).Widths[41], -1);
  }
}

TEST(LoadPresets, CheckBoxLinesAreReadAsBooleans) {
  const struct {
    std::string text;
    bool want;
  } rows[] = {
      {"1", true},
      {"TRUE", true},
      {"true", true},
      {" on ", true},
      {"\x82\x50", true},                  // full-width one
      {"\x81\x40\x82\x50\x81\x40", true},  // full-width one between full-width spaces
      {"\x81\x9B", true},                  // circle
      {"\x90\x5E", true},                  // the kanji for true
      {"\x90\xB3", true},                  // the kanji for correct
      {"0", false},
      {"False", false},
      {"yes", false},
      {"", false},
      {"-1", false},
  };
  TempDir dir;
  for (const auto& r : rows) {
    for (int box = 0; box < 4; ++box) {
      auto lines = CanonicalLines();
      Set(lines, kLines - 3 + box, r.text);
      const TPresetControls c = LoadBytes(dir, Join(lines)).controls;
      const bool got[] = {c.CheckBox1, c.CheckBox3, c.CheckBox4, c.CheckBox5};
      for (int other = 0; other < 4; ++other) {
        EXPECT_EQ(got[other], other == box ? r.want : false) << '"' << r.text << "\" box " << box;
      }
    }
  }
}

TEST(LoadPresets, EveryLineLandsInItsPlace) {
  auto lines = CanonicalLines();
  Set(lines, 1, "-40");
  Set(lines, 2, "1200");
  Set(lines, 3, "C:\\jww\\\x90\x7D\x96\xCA\\");  // a folder named with two kanji (drawing)
  Set(lines, 4, "17");
  Set(lines, CommentLine(1), "first");
  Set(lines, CommentLine(2), "\x8D\xD7\x90\xFC");  // thin line, in kanji
  Set(lines, CommentLine(20), "  twenty  ");
  Set(lines, WidthLine(1, 0), "13");
  Set(lines, WidthLine(1, 255), "50");
  Set(lines, WidthLine(2, 16), "25");
  Set(lines, WidthLine(20, 255), "30000");
  Set(lines, kLines - 3, "1");
  Set(lines, kLines - 1, "1");
  const TempDir dir;
  const Loaded l = LoadBytes(dir, Join(lines));

  EXPECT_EQ(l.model.SavedLeft, -40);
  EXPECT_EQ(l.model.SavedTop, 1200);
  EXPECT_EQ(l.controls.DialogFolder, "C:\\jww\\\x90\x7D\x96\xCA\\");
  EXPECT_EQ(l.model.CurrentTab, 17);
  EXPECT_EQ(l.model.Table(1).Comment, "first");
  EXPECT_EQ(l.model.Table(2).Comment, "\x8D\xD7\x90\xFC");
  EXPECT_EQ(l.model.Table(20).Comment, "  twenty  ");
  EXPECT_EQ(l.model.Table(1).Widths[0], 13);
  EXPECT_EQ(l.model.Table(1).Widths[1], -1);
  EXPECT_EQ(l.model.Table(1).Widths[255], 50);
  EXPECT_EQ(l.model.Table(2).Widths[16], 25);
  EXPECT_EQ(l.model.Table(20).Widths[255], 30000);
  EXPECT_TRUE(l.controls.CheckBox1);
  EXPECT_FALSE(l.controls.CheckBox3);
  EXPECT_TRUE(l.controls.CheckBox4);
  EXPECT_FALSE(l.controls.CheckBox5);
}

TEST(LoadPresets, LineEndsAreLfOrCrLf) {
  auto lines = CanonicalLines();
  Set(lines, CommentLine(3), "note");
  Set(lines, WidthLine(3, 5), "70");
  Set(lines, kLines, "1");
  const TempDir dir;
  for (const std::string_view end : {"\r\n", "\n"}) {
    const Loaded l = LoadBytes(dir, Join(lines, end));
    EXPECT_EQ(l.model.Table(3).Comment, "note");
    EXPECT_EQ(l.model.Table(3).Widths[5], 70);
    EXPECT_TRUE(l.controls.CheckBox5);
  }
  // A CR that does not end a line belongs to the line.
  Set(lines, CommentLine(3), "a\rb");
  EXPECT_EQ(LoadBytes(dir, Join(lines)).model.Table(3).Comment, "a\rb");
}

TEST(LoadPresets, ShortFileReadsMissingLinesAsEmpty) {
  const TempDir dir;
  auto lines = CanonicalLines();
  Set(lines, 3, "D:\\x\\");
  Set(lines, 4, "3");
  Set(lines, CommentLine(1), "kept");
  lines.resize(static_cast<std::size_t>(WidthLine(1, 10)));  // ends after width 10 of table 1
  TPresetControls before{true, true, true, true, "old"};

  Loaded l;
  l.controls = before;
  const auto path = dir / "short.dat";
  WriteFileBytes(path, Join(lines));
  LoadPresets(path, l.model, l.controls);
  EXPECT_EQ(l.model.CurrentTab, 3);
  EXPECT_EQ(l.model.Table(1).Comment, "kept");
  EXPECT_EQ(l.model.Table(1).Widths[10], -1);
  EXPECT_EQ(l.model.Table(1).Widths[11], 0);  // a missing width reads as 0, not -1
  EXPECT_EQ(l.model.Table(20).Widths[255], 0);
  EXPECT_EQ(l.model.Table(2).Comment, "");
  EXPECT_FALSE(l.controls.CheckBox1 || l.controls.CheckBox3 || l.controls.CheckBox4 || l.controls.CheckBox5);
  EXPECT_EQ(l.controls.DialogFolder, "D:\\x\\");

  // Two lines only: the folder is gone and the tab rule turns the missing tab into 1.
  l.controls = before;
  WriteFileBytes(path, "10\r\n20");
  LoadPresets(path, l.model, l.controls);
  EXPECT_EQ(l.model.SavedLeft, 10);
  EXPECT_EQ(l.model.SavedTop, 20);
  EXPECT_EQ(l.model.CurrentTab, 1);
  EXPECT_EQ(l.controls.DialogFolder, "");
  EXPECT_FALSE(l.controls.CheckBox1);
}

TEST(SavePresets, WritesTheLayoutWithCrLf) {
  const TempDir dir;
  TPresetModel model;
  model.SavedLeft = -5;
  model.SavedTop = 300;
  model.CurrentTab = 9;
  model.Table(2).Comment = "\x8D\xD7\x90\xFC";
  model.Table(2).Widths[0] = 0;
  model.Table(20).Widths[255] = 30000;
  model.Table(4).Widths[3] = 30001;  // outside the range: written as -1
  model.Table(4).Widths[4] = -7;
  TPresetControls controls{false, true, false, true, "C:\\jww\\"};
  const auto path = dir / "t905.dat";
  ASSERT_TRUE(SavePresets(path, model, controls));

  const std::string bytes = ReadFileBytes(path);
  const auto lines = SplitCrLf(bytes);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  const auto at = [&lines](int n) { return lines[static_cast<std::size_t>(n - 1)]; };
  EXPECT_EQ(at(1), "-5");
  EXPECT_EQ(at(2), "300");
  EXPECT_EQ(at(3), "C:\\jww\\");
  EXPECT_EQ(at(4), "9");
  EXPECT_EQ(at(262), "\x8D\xD7\x90\xFC");
  EXPECT_EQ(at(263), "0");
  EXPECT_EQ(at(5144), "30000");
  EXPECT_EQ(at(WidthLine(4, 3)), "-1");
  EXPECT_EQ(at(WidthLine(4, 4)), "-1");
  EXPECT_EQ(at(5145), "0");
  EXPECT_EQ(at(5146), "1");
  EXPECT_EQ(at(5147), "0");
  EXPECT_EQ(at(5148), "1");
}

TEST(SavePresets, HandWrittenFileComesBackCanonical) {
  const TempDir dir;
  auto hand = CanonicalLines();
  Set(hand, 1, " 12");
  Set(hand, 2, "+5");
  Set(hand, 4, "abc");
  Set(hand, WidthLine(1, 0), "+30");
  Set(hand, WidthLine(1, 1), "-2");
  Set(hand, WidthLine(1, 2), "");
  Set(hand, WidthLine(1, 3), "0x1F");
  Set(hand, kLines - 3, "TRUE");
  Set(hand, kLines, " on ");
  hand.push_back("line past the end");
  hand.push_back("-1");
  const auto path = dir / "t905.dat";
  WriteFileBytes(path, Join(hand, "\n"));

  TPresetModel model;
  TPresetControls controls;
  LoadPresets(path, model, controls);
  ASSERT_TRUE(SavePresets(path, model, controls));

  auto want = CanonicalLines();
  Set(want, 1, "12");
  Set(want, 2, "5");
  Set(want, 4, "1");
  Set(want, WidthLine(1, 0), "30");
  Set(want, WidthLine(1, 1), "-1");
  Set(want, WidthLine(1, 2), "0");
  Set(want, WidthLine(1, 3), "31");
  Set(want, kLines - 3, "1");
  Set(want, kLines, "1");
  EXPECT_EQ(ReadFileBytes(path), Join(want));
}

TEST(SavePresets, FileTheToolWroteRoundTripsByteForByte) {
  const TempDir dir;
  const auto path = dir / "t905.dat";
  const std::string original = ReadFileBytes(std::filesystem::path(T905_SOURCE_DIR) / "examples" / "t905.dat");
  WriteFileBytes(path, original);
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(path, model, controls);
  ASSERT_TRUE(SavePresets(path, model, controls));
  EXPECT_EQ(ReadFileBytes(path), original);
}

TEST(SavePresets, LineBreakInACommentDoesNotShiftTheFile) {
  const TempDir dir;
  TPresetModel model;
  model.Table(1).Comment = "first\r\nsecond";
  model.Table(2).Comment = "a\nb";
  model.Table(2).Widths[0] = 40;
  TPresetControls controls{true, false, false, false, "C:\\a\\\nb"};
  const auto path = dir / "t905.dat";
  ASSERT_TRUE(SavePresets(path, model, controls));
  EXPECT_EQ(SplitCrLf(ReadFileBytes(path)).size(), static_cast<std::size_t>(kLines));

  TPresetModel back;
  TPresetControls backControls;
  LoadPresets(path, back, backControls);
  EXPECT_EQ(back.Table(1).Comment, "first");
  EXPECT_EQ(back.Table(2).Comment, "a");
  EXPECT_EQ(back.Table(2).Widths[0], 40);
  EXPECT_EQ(backControls.DialogFolder, "C:\\a\\");
  EXPECT_TRUE(backControls.CheckBox1);
}

// Fails one step of the replacement.
class FailingSeam : public IFileReplaceSeam {
 public:
  explicit FailingSeam(int step) : step_(step) {}
  bool AllowCreate(const std::filesystem::path&) override { return step_ != 0; }
  bool AllowWrite(std::size_t) override { return step_ != 1; }
  bool AllowFlush(const std::filesystem::path&) override { return step_ != 3; }
  bool AllowReplace(const std::filesystem::path&) override { return step_ != 2; }

 private:
  int step_;
};

TEST(SavePresets, FailedSaveKeepsTheOldFile) {
  TPresetModel model;
  model.Table(1).Widths[0] = 99;
  const TPresetControls controls;
  // Step 3, the flush to the disk, is there only because the user's tables
  // are saved durably.
  for (int step = 0; step < 4; ++step) {
    const TempDir dir;
    const auto path = dir / "t905.dat";
    const std::string old = Join(CanonicalLines());
    WriteFileBytes(path, old);
    FailingSeam seam(step);
    EXPECT_FALSE(SavePresets(path, model, controls, &seam)) << "step " << step;
    EXPECT_EQ(ReadFileBytes(path), old) << "step " << step;
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u) << "a temporary file was left behind at step " << step;
  }
}

TEST(SavePresets, DirectoryInTheWayFailsAndStays) {
  const TempDir dir;
  const auto path = dir / "t905.dat";
  std::filesystem::create_directory(path);
  WriteFileBytes(path / "inside.txt", "x");
  EXPECT_FALSE(SavePresets(path, TPresetModel{}, TPresetControls{}));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(ReadFileBytes(path / "inside.txt"), "x");
}

// Width lines are read as TextToInt reads them, whatever they hold: the
// short way taken for plain digits must not differ from it.
TEST(LoadPresets, WidthLinesReadAsTextToInt) {
  std::vector<std::string> texts = {"-1", "0", "-0", "00012", "30000", "30001", "-2", "123456789",
                                    "1234567890", "-999999999", "2147483647", "-2147483648", "-", "--1",
                                    "+5", " 5", "5 ", "\t7", "0x1F", "$FF", "x10", "1e3", "12a", "", "\xFF"};
  std::mt19937 rng(5148);
  const std::string alphabet = "0123456789-+ x$";
  while (texts.size() < 20 * 256) {
    std::string t(1 + rng() % 11, '0');
    for (char& c : t) c = rng() % 5 == 0 ? alphabet[rng() % alphabet.size()] : static_cast<char>('0' + rng() % 10);
    texts.push_back(t);
  }
  std::vector<std::string> lines = CanonicalLines();
  for (int k = 1; k <= 20; ++k) {
    for (int i = 0; i < 256; ++i) Set(lines, WidthLine(k, i), texts[static_cast<std::size_t>((k - 1) * 256 + i)]);
  }
  TempDir dir;
  const Loaded l = LoadBytes(dir, Join(lines));
  for (int k = 1; k <= 20; ++k) {
    for (int i = 0; i < 256; ++i) {
      const std::string& t = texts[static_cast<std::size_t>((k - 1) * 256 + i)];
      ASSERT_EQ(l.model.Table(k).Widths[static_cast<std::size_t>(i)], ClampWidth(TextToInt(t))) << '"' << t << '"';
    }
  }
}

// A comment far longer than a read: it stays whole, and every line after it
// lands in its place, for the load and for the batch command's check alike.
TEST(LoadPresets, LongCommentAcrossReadsKeepsTheLinesAfterIt) {
  std::vector<std::string> lines = CanonicalLines();
  const std::string comment(100'000, 'c');
  Set(lines, CommentLine(3), comment);
  Set(lines, WidthLine(3, 0), "17");
  Set(lines, WidthLine(20, 255), "255");
  Set(lines, kLines, "1");
  TempDir dir;
  const Loaded l = LoadBytes(dir, Join(lines));
  EXPECT_EQ(l.model.Table(3).Comment, comment);
  EXPECT_EQ(l.model.Table(3).Widths[0], 17);
  EXPECT_EQ(l.model.Table(20).Widths[255], 255);
  EXPECT_TRUE(l.controls.CheckBox5);
  EXPECT_EQ(PresetFileProblem(dir / "t905.dat"), "");
}

// The batch command checks the file and then loads it from the same open
// file: read once when it comes whole in one read, read again when not.
TEST(LoadPresets, AfterTheCheckFromTheSameOpenFile) {
  for (const std::size_t commentSize : {std::size_t{10}, std::size_t{100'000}}) {
    std::vector<std::string> lines = CanonicalLines();
    Set(lines, CommentLine(1), std::string(commentSize, 'c'));
    Set(lines, WidthLine(1, 0), "5");
    Set(lines, WidthLine(20, 255), "9");
    TempDir dir;
    WriteFileBytes(dir / "t905.dat", Join(lines));
    TPresetLines file(dir / "t905.dat");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(PresetFileProblem(file), "") << commentSize;
    EXPECT_EQ(PresetFileProblem(file), "") << commentSize;
    Loaded l;
    LoadPresets(file, l.model, l.controls);
    EXPECT_EQ(l.model.Table(1).Comment.size(), commentSize);
    EXPECT_EQ(l.model.Table(1).Widths[0], 5) << commentSize;
    EXPECT_EQ(l.model.Table(20).Widths[255], 9) << commentSize;
  }
}

// The batch command's check cuts the file into lines as loading does, so it
// accepts exactly the files whose 5148 lines load into their places. A line
// ends at LF or CR LF; a CR alone is part of the line.
TEST(PresetFileProblem, CutsLinesAsLoadingDoes) {
  std::vector<std::string> lines = CanonicalLines();
  Set(lines, 1, "100");
  Set(lines, kLines, "1");  // CheckBox5: ticked only when line 5148 is read as such
  const auto with = [&lines](auto edit) {
    std::vector<std::string> l = lines;
    edit(l);
    return l;
  };
  std::string mixed;
  for (std::size_t i = 0; i < lines.size(); ++i) mixed += lines[i] + (i % 3 == 0 ? "\n" : "\r\n");
  std::string oneCr = Join(lines);
  oneCr.replace(oneCr.find("\r\n", oneCr.size() / 2), 2, "\r");

  struct Case {
    const char* name;
    std::string bytes;
    int linesRead;        // as the loader cuts them
    std::string problem;  // the check's verdict ("" accepts); "..." stands for any excerpt
    bool checkBox5;       // line 5148 loaded into its place
  };
  const Case cases[] = {
      {"LF", Join(lines, "\n"), kLines, "", true},
      {"CR LF", Join(lines), kLines, "", true},
      {"LF and CR LF mixed", mixed, kLines, "", true},
      {"CR alone", Join(lines, "\r"), 1,
       "line 1 is '100\\x0D0\\x0D\\x0D1\\x0D...', not a number (a CR alone ends no line: lines end at LF or CR LF)",
       false},
      {"one line ending in CR alone", oneCr, kLines - 1, "it has 5147 lines, not 5148", false},
      {"no line end after the last", Join(lines).substr(0, Join(lines).size() - 2), kLines, "", true},
      {"a line short", Join(with([](auto& l) { l.pop_back(); })), kLines - 1, "it has 5147 lines, not 5148",
       false},
      {"a line too many", Join(with([](auto& l) { l.push_back("7"); })), kLines + 1,
       "it has 5149 lines, not 5148", true},
      {"empty lines past the end", Join(with([](auto& l) { l.resize(l.size() + 2); })), kLines + 2, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir;
    const auto path = dir / "t905.dat";
    WriteFileBytes(path, c.bytes);

    TPresetLines file(path);
    std::string_view line;
    int read = 0;
    while (file.Next(line)) ++read;
    EXPECT_EQ(read, c.linesRead);

    const std::string problem = PresetFileProblem(path);
    const std::size_t dots = c.problem.find("...");
    if (dots != std::string::npos) {
      EXPECT_EQ(problem.substr(0, dots), c.problem.substr(0, dots));
      EXPECT_TRUE(problem.ends_with(c.problem.substr(dots + 3))) << problem;
    } else {
      EXPECT_EQ(problem, c.problem);
    }
    const Loaded l = LoadBytes(dir, c.bytes);
    EXPECT_EQ(l.controls.CheckBox5, c.checkBox5);
    EXPECT_EQ(l.model.SavedLeft, read == 1 ? 0 : 100);
  }
}

}  // namespace
