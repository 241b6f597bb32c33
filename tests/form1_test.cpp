// Whole runs of the main window's behaviour against scripted controls: what the
// user does, and the exchange and preset files that result.
#include "app/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/form_texts.h"
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
  // Idle, the line sums up the selection; from OK on it shows only the run's stages.
  ASSERT_EQ(run.ui.statusTexts.size(), 1u);
  const std::size_t idleTexts = run.ui.statusTexts.size();
  // Unpaced, so that every progress point of the walk reaches the status line.
  run.form.okPacing.interval = std::chrono::milliseconds(0);
  run.form.Button1Click();
  EXPECT_EQ(Lines(run.ui.statusTexts.begin() + static_cast<std::ptrdiff_t>(idleTexts), run.ui.statusTexts.end()),
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

// --- The table editor ---------------------------------------------------------

struct CellCase {
  const char* typed;
  const char* shownAfterSwitch;
};

TEST(Form1Editor, CellTextIsReadWhenTheTabIsLeft) {
  const CellCase cases[] = {
      {"abc", "0"}, {"30001", "-1"},         {"-5", "-1"}, {" 7", "7"},    {"7 ", "0"},
      {"", "0"},    {"0x10", "16"},          {"-1", "-1"}, {"30000", "30000"}, {"$1F", "31"},
  };
  ToolFolder f;
  ToolRun run(f.exe);
  int col = 1;
  for (const auto& c : cases) run.ui.TypeIntoCell(col++, 4, c.typed);  // the last stays open
  run.ui.edit1 = "note";
  run.ui.ClickTab(19);
  EXPECT_EQ(run.ui.edit1, "");
  EXPECT_EQ(run.Cell(1, 4), "-1");
  run.ui.ClickTab(0);
  col = 1;
  for (const auto& c : cases) EXPECT_EQ(run.Cell(col++, 4), c.shownAfterSwitch) << '"' << c.typed << '"';
  EXPECT_EQ(run.ui.edit1, "note");
  EXPECT_EQ(run.form.model.Table(1).Widths[3 * 16], 0);
}

struct ClearCase {
  const char* name;
  void (TForm1::*click)();
  std::string question;
  const char* fill;
};

void PrintTo(const ClearCase& c, std::ostream* os) { *os << c.name; }

class Form1ClearButtons : public ::testing::TestWithParam<ClearCase> {};

TEST_P(Form1ClearButtons, YesClearsTheScreenOnlyAndNoChangesNothing) {
  const ClearCase& c = GetParam();
  ToolFolder f;
  Lines presets = DefaultPresetLines();
  presets[CommentLine(1)] = "kept";
  presets[WidthLine(1, 0)] = "5";
  WriteFileBytes(f.presets, JoinCrLf(presets));
  ToolRun run(f.exe);

  run.ui.confirmAnswers = {false};
  (run.form.*c.click)();
  EXPECT_EQ(run.ui.confirmations, (Lines{c.question}));
  EXPECT_EQ(run.Cell(1, 1), "5");
  EXPECT_EQ(run.ui.edit1, "kept");

  run.ui.TypeIntoCell(16, 16, "123");  // an editor left open must not come back
  run.ui.confirmAnswers = {true};
  (run.form.*c.click)();
  EXPECT_EQ(run.ui.edit1, "");
  for (int r = 1; r <= 16; ++r)
    for (int col = 1; col <= 16; ++col) ASSERT_EQ(run.Cell(col, r), c.fill) << col << "," << r;
  EXPECT_EQ(run.Cell(0, 1), "0");
  EXPECT_EQ(run.Cell(1, 0), "0");
  EXPECT_EQ(run.form.model.Table(1).Widths[0], 5);  // the table waits for a switch or OK

  run.ui.ClickTab(1);
  run.ui.ClickTab(0);
  EXPECT_EQ(run.Cell(16, 16), c.fill);
  EXPECT_EQ(run.Cell(1, 1), c.fill);
  EXPECT_EQ(run.form.model.Table(1).Comment, "");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, Form1ClearButtons,
    ::testing::Values(
        // この設定画面のレイヤ設定を「-1」値でクリアします。よろしいですか？ (CR LF)
        // （※画面切替／[OK]をせず[キャンセル]をした場合は保存されません）
        ClearCase{"AllMinus1", &TForm1::Button3Click,
                  "\x82\xB1\x82\xCC\x90\xDD\x92\xE8\x89\xE6\x96\xCA\x82\xCC\x83\x8C\x83\x43\x83\x84\x90\xDD\x92"
                  "\xE8\x82\xF0\x81\x75-1\x81\x76\x92\x6C\x82\xC5\x83\x4E\x83\x8A\x83\x41\x82\xB5\x82\xDC\x82\xB7"
                  "\x81\x42\x82\xE6\x82\xEB\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81\x48\r\n\x81\x69\x81\xA6\x89"
                  "\xE6\x96\xCA\x90\xD8\x91\xD6\x81\x5E[OK]\x82\xF0\x82\xB9\x82\xB8[\x83\x4C\x83\x83\x83\x93\x83\x5A"
                  "\x83\x8B]\x82\xF0\x82\xB5\x82\xBD\x8F\xEA\x8D\x87\x82\xCD\x95\xDB\x91\xB6\x82\xB3\x82\xEA\x82\xDC"
                  "\x82\xB9\x82\xF1\x81\x6A",
                  "-1"},
        // この設定画面のレイヤ設定を「0」値でクリアします。よろしいですか？ (CR LF) and the same second line
        ClearCase{"AllZero", &TForm1::Button5Click,
                  "\x82\xB1\x82\xCC\x90\xDD\x92\xE8\x89\xE6\x96\xCA\x82\xCC\x83\x8C\x83\x43\x83\x84\x90\xDD\x92"
                  "\xE8\x82\xF0\x81\x75\x30\x81\x76\x92\x6C\x82\xC5\x83\x4E\x83\x8A\x83\x41\x82\xB5\x82\xDC\x82\xB7"
                  "\x81\x42\x82\xE6\x82\xEB\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81\x48\r\n\x81\x69\x81\xA6\x89"
                  "\xE6\x96\xCA\x90\xD8\x91\xD6\x81\x5E[OK]\x82\xF0\x82\xB9\x82\xB8[\x83\x4C\x83\x83\x83\x93\x83\x5A"
                  "\x83\x8B]\x82\xF0\x82\xB5\x82\xBD\x8F\xEA\x8D\x87\x82\xCD\x95\xDB\x91\xB6\x82\xB3\x82\xEA\x82\xDC"
                  "\x82\xB9\x82\xF1\x81\x6A",
                  "0"}),
    [](const auto& row) { return std::string(row.param.name); });

// --- The environment-file import ----------------------------------------------

// 環境設定ファイル(JWF)を指定して下さい。
const std::string kWrongExtension =
    "\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B(JWF)\x82\xF0\x8E\x77\x92\xE8\x82\xB5\x82"
    "\xC4\x89\xBA\x82\xB3\x82\xA2\x81\x42";

const std::string kJwf =
    "[settings]\r\n"
    "  laywid_3 = 25 35 -1 -2 50\r\n"
    "\tLAYWID_A=100,200\r\n"
    "LAYWID_5 = 30001 7\r\n"
    "LAYWID_7\r\n"
    "END\r\n";

TEST(Form1Import, DialogFillsNamedRowsOnlyAndValuesAreLimitedWhenStored) {
  ToolFolder f;
  TempDir envDir;
  WriteFileBytes(envDir / "host.jwf", kJwf);
  Lines presets = DefaultPresetLines();
  presets[2] = "C:\\loaded\\";
  presets[WidthLine(1, 7 * 16)] = "9";
  WriteFileBytes(f.presets, JoinCrLf(presets));
  ToolRun run(f.exe);
  run.ui.edit1 = "own comment";
  run.ui.TypeIntoCell(1, 4, "888");  // open in a row the file then fills
  run.ui.dialogAnswers = {envDir / "host.jwf"};
  run.form.Button4Click();

  ASSERT_EQ(run.ui.dialogs.size(), 1u);
  const TOpenDialogSpec& spec = run.ui.dialogs[0];
  // 環境設定ファイル（JWF）を読込む
  EXPECT_EQ(spec.title, "\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x69JWF\x81\x6A\x82\xF0"
                        "\x93\xC7\x8D\x9E\x82\xDE");
  // 環境設定ファイル(*.JWF)
  EXPECT_EQ(spec.filterName, "\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B(*.JWF)");
  EXPECT_EQ(spec.filterPattern, "*.jwf");
  EXPECT_EQ(spec.defaultExt, "jwf");
  EXPECT_EQ(spec.initialFolder, "C:\\loaded\\");
  EXPECT_TRUE(run.ui.messages.empty());

  const Lines row3{"25", "35", "-1", "-1", "50", "-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1"};
  for (int l = 0; l < 16; ++l) EXPECT_EQ(run.Cell(l + 1, 4), row3[static_cast<std::size_t>(l)]) << l;
  EXPECT_EQ(run.Cell(1, 11), "100");
  EXPECT_EQ(run.Cell(2, 11), "200");
  EXPECT_EQ(run.Cell(3, 11), "-1");
  EXPECT_EQ(run.Cell(1, 6), "30001");
  EXPECT_EQ(run.Cell(1, 8), "9");  // no "=": the row keeps its cells
  EXPECT_EQ(run.Cell(1, 1), "-1");
  EXPECT_EQ(run.ui.edit1, "own comment");

  run.ui.ClickTab(3);
  run.ui.ClickTab(0);
  EXPECT_EQ(run.Cell(1, 6), "-1");
  EXPECT_EQ(run.Cell(2, 6), "7");
  EXPECT_EQ(run.Cell(1, 4), "25");
}

TEST(Form1Import, OnlyAnExistingJwfFileIsRead) {
  struct Case {
    const char* name;
    bool create;
    bool refused;  // the message is shown
    bool read;
  };
  const Case cases[] = {
      {"a.txt", true, true, false},      {"b.JWF", true, false, true},   {"c.Jwf", true, false, true},
      {"d.jwf.bak", true, true, false},  {"jwf", true, true, false},     {"gone.jwf", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ToolFolder f;
    TempDir envDir;
    if (c.create) WriteFileBytes(envDir / c.name, "LAYWID_0 = 40\r\n");
    ToolRun run(f.exe);
    run.ui.dialogAnswers = {envDir / c.name};
    run.form.Button4Click();
    EXPECT_EQ(run.ui.messages, c.refused ? Lines{kWrongExtension} : Lines{});
    EXPECT_EQ(run.Cell(1, 1), c.read ? "40" : "-1");
  }
}

TEST(Form1Import, DialogFolderIsKeptInThePresetFile) {
  ToolFolder f;
  TempDir envDir;
  WriteFileBytes(envDir / "x.txt", "");
  Lines presets = DefaultPresetLines();
  presets[2] = "C:\\loaded\\";
  WriteFileBytes(f.presets, JoinCrLf(presets));
  const std::string chosenFolder = (envDir.path() / "").string();

  {  // Without the dialog the loaded folder stays.
    ToolRun run(f.exe);
    run.form.Button1Click();
    EXPECT_EQ(f.Presets()[2], "C:\\loaded\\");
  }
  {  // A cancelled dialog changes nothing; a refused file's folder still counts.
    ToolRun run(f.exe);
    run.form.Button4Click();
    run.ui.dialogAnswers = {envDir / "x.txt"};
    run.form.Button4Click();
    run.form.Button4Click();
    ASSERT_EQ(run.ui.dialogs.size(), 3u);
    EXPECT_EQ(run.ui.dialogs[1].initialFolder, "C:\\loaded\\");
    EXPECT_EQ(run.ui.dialogs[2].initialFolder, chosenFolder);
    run.form.Button1Click();
    EXPECT_EQ(f.Presets()[2], chosenFolder);
  }
}

// --- Files that cannot be written: told in one box at close -------------------

namespace {

void MakeReadOnly(const fs::path& file) {
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

bool HasText(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(Form1WriteFailures, EachFailedFileIsNamedWithItsReasonInOneBox) {
  enum Fault { None, PresetsReadOnly, ExchangeReadOnly, BothReadOnly, FolderForExchange };
  const struct {
    const char* name;
    Fault fault;
    bool ok;  // OK pressed, else Cancel
    bool presetsFailed, answerFailed;
  } rows[] = {
      {"nothing in the way", None, true, false, false},
      {"read-only preset file", PresetsReadOnly, true, true, false},
      {"read-only exchange file", ExchangeReadOnly, true, false, true},
      {"read-only exchange file, Cancel", ExchangeReadOnly, false, false, true},
      {"a folder that refuses both", BothReadOnly, true, true, true},
      {"a folder in the exchange file's place", FolderForExchange, true, false, true},
  };
  for (const auto& r : rows) {
    ToolFolder f;
    WriteFileBytes(f.exchange, kOneLine);
    WriteFileBytes(f.presets, JoinCrLf(DefaultPresetLines()));
    // Before the run: on Windows the run keeps the exchange file open against
    // writers, so nobody can swap it for a folder once it has been read.
    if (r.fault == FolderForExchange) {
      fs::remove(f.exchange);
      fs::create_directory(f.exchange);
      WriteFileBytes(f.exchange / "inside", "keep");
    }
    ToolRun run(f.exe);
    if (r.fault == PresetsReadOnly || r.fault == BothReadOnly) MakeReadOnly(f.presets);
    if (r.fault == ExchangeReadOnly || r.fault == BothReadOnly) MakeReadOnly(f.exchange);
    run.ui.TypeIntoCell(kLineCol, kLineRow, "7");
    if (r.ok) {
      run.form.Button1Click();
    } else {
      run.form.Button2Click();
    }
    EXPECT_EQ(run.ui.closeRequests, 1) << r.name << ": the window closes as before";
    if (!r.presetsFailed && !r.answerFailed) {
      EXPECT_TRUE(run.ui.messages.empty()) << r.name;
      continue;
    }
    ASSERT_EQ(run.ui.messages.size(), 1u) << r.name;
    EXPECT_EQ(run.ui.errorBoxes, 1) << r.name << ": with the error icon";
    const std::string& text = run.ui.messages[0];
    EXPECT_EQ(HasText(text, kSavePresetsFailed), r.presetsFailed) << r.name;
    EXPECT_EQ(HasText(text, run.ui.PathToText(f.presets)), r.presetsFailed) << r.name;
    EXPECT_EQ(HasText(text, kWriteAnswerFailed), r.answerFailed) << r.name;
    EXPECT_EQ(HasText(text, run.ui.PathToText(f.exchange)), r.answerFailed) << r.name;
    EXPECT_TRUE(HasText(text, kFailedReasonLabel)) << r.name;
    if (r.fault != FolderForExchange) {
      // ファイルが読み取り専用になっています。
      EXPECT_TRUE(HasText(text, "\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70")) << r.name;
      // The advice names Program Files; these folders are not under it.
      EXPECT_FALSE(HasText(text, kToolFolderAdvice)) << r.name;
    }
    if (r.presetsFailed) {
      EXPECT_EQ(f.Presets(), DefaultPresetLines()) << r.name << ": the old file is kept";
    }
    if (r.answerFailed && r.fault != FolderForExchange) {
      EXPECT_EQ(ReadFileBytes(f.exchange), kOneLine) << r.name << ": the host's file is kept";
    }
    if (r.fault == PresetsReadOnly) {
      EXPECT_EQ(f.Answer()[0], "hd") << r.name << ": the conversion still counts";
    }
  }
}

// --- What the selection holds -------------------------------------------------

namespace {

// 選択 n 件　OKで変換 m 件　使用レイヤ k
std::string IdleLine(int selected, int converted, int layers) {
  return "\x91\x49\x91\xF0 " + std::to_string(selected) + " \x8C\x8F\x81\x40OK\x82\xC5\x95\xCF\x8A\xB7 " +
         std::to_string(converted) + " \x8C\x8F\x81\x40\x8E\x67\x97\x70\x83\x8C\x83\x43\x83\x84 " +
         std::to_string(layers);
}

TCellUse UseAt(const FakeControls& ui, int col, int row) {
  return ui.gridUse.value()[static_cast<std::size_t>(row * 17 + col)];
}

}  // namespace

TEST(Form1LayerUse, IdleLineAndTintFollowEditsTicksAndTabs) {
  ToolFolder f;
  // The line on 1-2 and a point on 1-3.
  WriteFileBytes(f.exchange, kOneLine + "ly3\r\npt 1 1\r\n");
  ToolRun run(f.exe);
  EXPECT_EQ(run.ui.statusTexts.back(), IdleLine(2, 0, 2));
  EXPECT_EQ(UseAt(run.ui, kLineCol, kLineRow), TCellUse::Untouched);

  struct Step {
    const char* what;
    std::function<void(ToolRun&)> act;
    int converted;
    TCellUse lineCell, pointCell;
    int errors = 0;  // cells whose text is no width
  };
  const std::vector<Step> steps{
      {"width typed on the line's layer",
       [](ToolRun& r) {
         r.ui.SetGridCell(kLineCol, kLineRow, "50");
         r.form.StringGrid1SetEditText();
       },
       1, TCellUse::Converts, TCellUse::Untouched},
      {"width on the point's layer, box not ticked",
       [](ToolRun& r) {
         r.ui.SetGridCell(kLineCol + 1, kLineRow, "0");
         r.form.StringGrid1SetEditText();
       },
       1, TCellUse::Converts, TCellUse::Untouched},
      {"points ticked",
       [](ToolRun& r) {
         r.ui.SetCheckBox(TCheckBoxId::Points, true);
         r.form.CheckBoxClick();
       },
       2, TCellUse::Converts, TCellUse::Converts},
      {"text out of range reads as -1",
       [](ToolRun& r) {
         r.ui.SetGridCell(kLineCol, kLineRow, "30001");
         r.form.StringGrid1SetEditText();
       },
       1, TCellUse::Untouched, TCellUse::Converts, 1},
      {"another tab with every width -1", [](ToolRun& r) { r.ui.ClickTab(3); }, 0, TCellUse::Untouched,
       TCellUse::Untouched},
      {"back to the first tab, edits kept", [](ToolRun& r) { r.ui.ClickTab(0); }, 1, TCellUse::Untouched,
       TCellUse::Converts},
      {"ALL 0 answered Yes",
       [](ToolRun& r) {
         r.ui.confirmAnswers.push_back(true);
         r.form.Button5Click();
       },
       2, TCellUse::Converts, TCellUse::Converts},
  };
  for (const Step& step : steps) {
    step.act(run);
    // 　入力エラー N マス
    const std::string errors =
        step.errors == 0 ? "" : "\x81\x40\x93\xFC\x97\xCD\x83\x47\x83\x89\x81\x5B " + std::to_string(step.errors) + " \x83\x7D\x83\x58";
    EXPECT_EQ(run.ui.statusTexts.back(), IdleLine(2, step.converted, 2) + errors) << step.what;
    EXPECT_EQ(UseAt(run.ui, kLineCol, kLineRow), step.lineCell) << step.what;
    EXPECT_EQ(UseAt(run.ui, kLineCol + 1, kLineRow), step.pointCell) << step.what;
    EXPECT_EQ(UseAt(run.ui, 1, 1), TCellUse::Unused) << step.what;
    EXPECT_NE(UseAt(run.ui, 0, kLineRow), TCellUse::Unused) << step.what << ": the group's header is marked";
  }
}

TEST(Form1LayerUse, AfterOkTheLineShowsOnlyTheRunsStages) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  ToolRun run(f.exe);
  run.form.Button1Click();
  const std::size_t after = run.ui.statusTexts.size();
  // A late event from the toolkit must not bring the summary back.
  run.form.CheckBoxClick();
  run.form.StringGrid1SetEditText();
  EXPECT_EQ(run.ui.statusTexts.size(), after);
  EXPECT_EQ(run.ui.statusTexts.back(), kGenerating);
}

TEST(Form1LayerUse, CellHintReadsTheGridAsItStands) {
  ToolFolder f;
  WriteFileBytes(f.exchange, kOneLine);
  ToolRun run(f.exe);
  run.ui.SetGridCell(kLineCol, kLineRow, "25");
  const std::string hint = run.form.CellHint(kLineCol, kLineRow);
  EXPECT_NE(hint.find(" 25 (0.25 mm)"), std::string::npos) << hint;
  EXPECT_NE(hint.find("OK\x82\xC5\x95\xCF\x8A\xB7 1 "), std::string::npos) << hint;
  EXPECT_EQ(run.form.CellHint(0, 0), "");
}

TEST(Form1WriteFailures, ProgramFilesAdviceOnlyThereAndLongPathsBrokenBetweenNames) {
  const struct {
    const char* name;
    std::string folder;
    bool advice;
  } rows[] = {
      {"under Program Files", "Program Files", true},
      {"under Program Files (x86), any case", "program files (X86)", true},
      {"a name that only begins so", "Program Files Old", false},
  };
  for (const auto& r : rows) {
    ToolFolder f;
    // A folder of long names, longer than a line of the box.
    const fs::path deep = f.dir / r.folder / "t905_layer_width_tool_folder" / "a_second_long_folder_name_here";
    fs::create_directories(deep);
    const fs::path exe = deep / "t905.exe";
    WriteFileBytes(deep / "JWC_TEMP.TXT", kOneLine);
    WriteFileBytes(deep / "t905.dat", JoinCrLf(DefaultPresetLines()));
    ToolRun run(exe);
    MakeReadOnly(deep / "t905.dat");
    run.form.Button1Click();
    ASSERT_EQ(run.ui.messages.size(), 1u) << r.name;
    const std::string& text = run.ui.messages[0];
    EXPECT_EQ(HasText(text, kToolFolderAdvice), r.advice) << r.name;
    // Every line break in the path comes right after a separator.
    const std::string path = run.ui.PathToText(deep / "t905.dat");
    std::string joined;
    const std::size_t from = text.find(kFailedFileLabel) + std::string(kFailedFileLabel).size();
    const std::size_t to = text.find(kFailedReasonLabel);
    for (std::size_t i = from; i < to; ++i) {
      if (text.compare(i, 2, "\r\n") == 0) {
        EXPECT_TRUE(i == to - 2 || text[i - 1] == '/' || text[i - 1] == '\\') << r.name << ": broken mid-name";
        ++i;
        continue;
      }
      joined += text[i];
    }
    EXPECT_EQ(joined, path) << r.name;
    EXPECT_GT(path.size(), 60u);
  }
}
