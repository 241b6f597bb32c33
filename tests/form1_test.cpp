// Whole runs of the main window's behaviour against scripted controls: what the
// user does, and the exchange and preset files that result.
#include "app/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/fake_controls.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

// 処理中です
const std::string kConverting = "\x8F\x88\x97\x9D\x92\x86\x82\xC5\x82\xB7";
// ファイル生成中です
const std::string kGenerating = "\x83\x74\x83\x40\x83\x43\x83\x8B\x90\xB6\x90\xAC\x92\x86\x82\xC5\x82\xB7";
// 処理中(ESC:中断)：
const std::string kProgress = "\x8F\x88\x97\x9D\x92\x86(ESC:\x92\x86\x92\x66)\x81\x46";
// ／
const std::string kSlash = "\x81\x5E";

// A drawing of one plain line on layer group 1, layer 2, width 10.
const std::string kOneLine = "hq\r\nlg1\r\nly2\r\nlc1\r\nlt1\r\nlw10\r\n0 0 100 100\r\n";
constexpr int kLineCol = 3, kLineRow = 2;  // the grid cell of that layer

// The 5148 lines of a preset file holding the defaults; line n is [n - 1].
Lines DefaultPresetLines() {
  Lines lines{"0", "0", "", "1"};
  for (int k = 1; k <= 20; ++k) {
    lines.emplace_back("");
    for (int i = 0; i < 256; ++i) lines.emplace_back("-1");
  }
  for (int i = 0; i < 4; ++i) lines.emplace_back("0");
  return lines;
}
std::size_t WidthLine(int table, int index) { return static_cast<std::size_t>(5 + 257 * (table - 1) + index); }
std::size_t CommentLine(int table) { return static_cast<std::size_t>(4 + 257 * (table - 1)); }

std::string JoinCrLf(const Lines& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// A folder holding the tool beside its exchange file, as the host sets it up.
struct ToolFolder {
  TempDir dir;
  fs::path exe = dir / "t905.exe";
  fs::path exchange = dir / "JWC_TEMP.TXT";
  fs::path presets = dir / "t905.dat";

  Lines Answer() const { return SplitCrLf(ReadFileBytes(exchange)); }
  Lines Presets() const { return SplitCrLf(ReadFileBytes(presets)); }
};

// One run of the tool: the window is shown as the toolkit would show it.
struct ToolRun {
  FakeControls ui;
  TForm1 form{ui};
  explicit ToolRun(const fs::path& exe) : ui(exe) {
    ui.Attach(form);
    form.FormShow();
  }
  std::string Cell(int col, int row) const { return ui.GridCell(col, row); }
};

bool Contains(const Lines& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

// --- Start-up, OK, Cancel and close ------------------------------------------

TEST(Form1RunFlow, FirstRunWithoutPresetFileOpensOnDefaultsAndOkCreatesIt) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  ToolRun run(f.exe);
  EXPECT_EQ(run.ui.moves, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_EQ(run.ui.tab, 0);
  EXPECT_EQ(run.ui.colWidths[0], 24);
  EXPECT_EQ(run.ui.labelL1, "\x83\x8C\x83\x43\x83\x84");  // レイヤ
  // レ イ ヤ グ ル ｜ プ, one per line
  EXPECT_EQ(run.ui.labelL2, "\x83\x8C\r\n\x83\x43\r\n\x83\x84\r\n\x83\x4F\r\n\x83\x8B\r\n\x81\x62\r\n\x83\x76");
  EXPECT_EQ(run.Cell(0, 0), "");
  EXPECT_EQ(run.Cell(0, 11), "A");
  EXPECT_EQ(run.Cell(16, 0), "F");
  for (int r = 1; r <= 16; ++r)
    for (int c = 1; c <= 16; ++c) ASSERT_EQ(run.Cell(c, r), "-1") << c << "," << r;
  EXPECT_FALSE(run.ui.checks[1] || run.ui.checks[3] || run.ui.checks[4] || run.ui.checks[5]);

  run.form.Button1Click();
  EXPECT_EQ(run.ui.closeRequests, 1);
  ASSERT_EQ(f.Presets(), DefaultPresetLines());
  const Lines answer = f.Answer();
  ASSERT_FALSE(answer.empty());
  EXPECT_EQ(answer[0], "hd");
  EXPECT_TRUE(Contains(answer, "0 0 100 100"));
  EXPECT_TRUE(Contains(answer, "lw10"));  // every width -1: nothing converted
}

TEST(Form1RunFlow, OkOnTabFiveAfterEditsSavesAndNextRunOpensThere) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  {
    ToolRun run(f.exe);
    run.ui.ClickTab(4);
    run.ui.edit1 = "w";
    run.ui.TypeIntoCell(1, 1, "7");
    run.ui.TypeIntoCell(kLineCol, kLineRow, "50");  // still open when OK comes
    run.ui.SetCheckBox(TCheckBoxId::Solids, true);
    run.ui.MoveWindowByUser(-300, 4000);  // off screen: kept as it is
    run.form.Button1Click();
  }
  const Lines p = f.Presets();
  ASSERT_EQ(p.size(), 5148u);
  EXPECT_EQ(p[0], "-300");
  EXPECT_EQ(p[1], "4000");
  EXPECT_EQ(p[3], "5");
  EXPECT_EQ(p[CommentLine(5)], "w");
  EXPECT_EQ(p[WidthLine(5, 0)], "7");
  EXPECT_EQ(p[WidthLine(5, 18)], "50");
  EXPECT_EQ(p[WidthLine(1, 18)], "-1");
  EXPECT_EQ(p[5146], "1");
  const Lines answer = f.Answer();
  EXPECT_TRUE(Contains(answer, "lw50"));
  EXPECT_FALSE(Contains(answer, "lw10"));

  ToolRun next(f.exe);
  EXPECT_EQ(next.ui.moves, (std::vector<std::pair<int, int>>{{-300, 4000}}));
  EXPECT_EQ(next.ui.tab, 4);
  EXPECT_EQ(next.ui.edit1, "w");
  EXPECT_EQ(next.Cell(kLineCol, kLineRow), "50");
  EXPECT_TRUE(next.ui.CheckBox(TCheckBoxId::Solids));
}

TEST(Form1RunFlow, CancelLeavesPresetFileByteIdenticalAndAnswersHq) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  Lines hand = DefaultPresetLines();
  hand[3] = "2";
  hand[WidthLine(2, 0)] = " 12";
  hand[5144] = "TRUE";
  hand.emplace_back("past the end");
  const std::string before = JoinCrLf(hand);
  WriteFileBytes(f.presets, before);

  ToolRun run(f.exe);
  EXPECT_EQ(run.Cell(1, 1), "12");
  run.ui.TypeIntoCell(1, 1, "99");
  run.ui.confirmAnswers = {true};
  run.form.Button5Click();
  run.ui.ClickTab(0);
  run.form.Button2Click();
  EXPECT_EQ(ReadFileBytes(f.presets), before);
  EXPECT_EQ(ReadFileBytes(f.exchange), "hq\r\n");

  // The answer is written once: a second close from the toolkit writes nothing.
  fs::remove(f.exchange);
  run.ui.CloseWindow();
  run.form.Button1Click();
  EXPECT_FALSE(fs::exists(f.exchange));
  EXPECT_EQ(ReadFileBytes(f.presets), before);
}

TEST(Form1RunFlow, StatusLineShowsEachStageInOrder) {
  ToolFolder f;
  std::string drawing = "lg0\r\nly0\r\n";
  for (int i = 0; i < 250; ++i) drawing += "0 0 1 " + std::to_string(i + 1) + "\r\n";
  WriteFileBytes(f.exchange, drawing);
  ToolRun run(f.exe);
  EXPECT_TRUE(run.ui.statusTexts.empty());
  run.form.Button1Click();
  EXPECT_EQ(run.ui.statusTexts,
            (Lines{kConverting, kProgress + "1" + kSlash + "250", kProgress + "101" + kSlash + "250",
                   kProgress + "201" + kSlash + "250", kGenerating}));
  EXPECT_EQ(run.ui.escapePolls, 3);
  const Lines answer = f.Answer();
  EXPECT_EQ(answer.front(), "hd");
  EXPECT_EQ(std::count_if(answer.begin(), answer.end(),
                          [](const std::string& l) { return l.rfind("0 0 1 ", 0) == 0; }),
            250);
}

TEST(Form1RunFlow, EscapeHeldAtFirstCheckLeavesOnlyClosingLinesButSavesPresets) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  ToolRun run(f.exe);
  run.ui.escapeHeld = true;
  run.ui.TypeIntoCell(kLineCol, kLineRow, "50");
  run.form.Button1Click();
  EXPECT_EQ(f.Answer(), (Lines{"lg1", "ly2"}));
  EXPECT_EQ(run.ui.escapePolls, 1);
  EXPECT_EQ(run.ui.statusTexts.back(), kGenerating);
  EXPECT_EQ(f.Presets()[WidthLine(1, 18)], "50");
}

TEST(Form1RunFlow, ReadFailedPartWayAnswersHqAndStillSavesPresets) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  ToolRun run(f.exe);
  // The reader's verdict on a file it could not read to its end.
  run.form.store.ReadOutcome = TJwwReadOutcome::Failed;
  run.ui.TypeIntoCell(1, 1, "3");
  run.form.Button1Click();
  EXPECT_EQ(ReadFileBytes(f.exchange), "hq\r\n");
  EXPECT_EQ(f.Presets()[WidthLine(1, 0)], "3");
}

TEST(Form1RunFlow, MissingExchangeFileOkStillAnswersHd) {
  ToolFolder f;
  ToolRun run(f.exe);
  run.form.Button1Click();
  EXPECT_EQ(f.Answer(), (Lines{"hd", "lg0", "ly0"}));
}

TEST(Form1RunFlow, FilesAreTakenBesideTheExecutableNotTheWorkingDirectory) {
  ToolFolder f;
  TempDir elsewhere;
  WriteFileBytes(f.exchange, kOneLine);
  Lines presets = DefaultPresetLines();
  presets[WidthLine(1, 18)] = "60";
  WriteFileBytes(f.presets, JoinCrLf(presets));
  const std::string decoyDrawing = "lg5\r\nly5\r\n1 1 2 2\r\n";
  WriteFileBytes(elsewhere / "JWC_TEMP.TXT", decoyDrawing);
  WriteFileBytes(elsewhere / "t905.dat", "decoy");

  const fs::path saved = fs::current_path();
  fs::current_path(elsewhere.path());
  {
    ToolRun run(f.exe);
    EXPECT_EQ(run.Cell(kLineCol, kLineRow), "60");
    run.form.Button1Click();
  }
  fs::current_path(saved);
  EXPECT_TRUE(Contains(f.Answer(), "lw60"));
  EXPECT_EQ(ReadFileBytes(elsewhere / "JWC_TEMP.TXT"), decoyDrawing);
  EXPECT_EQ(ReadFileBytes(elsewhere / "t905.dat"), "decoy");
}
