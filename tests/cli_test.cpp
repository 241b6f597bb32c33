// The batch command end to end on fixture files: answers compared with the
// expected files, the exit codes, and what each failure leaves on disk.
#include "app/cli.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/cli_progress.h"
#include "app/presets.h"
#include "t905_build_version.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

// Memory seam: while set, every allocation of at least this many bytes fails,
// as it does when a large file meets a memory limit.
static std::atomic<std::size_t> gFailAllocationsFrom{0};

void* operator new(std::size_t size) {
  const std::size_t limit = gFailAllocationsFrom.load();
  if (limit != 0 && size >= limit) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// Arrays too: under the sanitizers operator new[] does not go through operator new.
void* operator new[](std::size_t size) { return ::operator new(size); }
// Kept out of line, so that the compiler does not see free() meet a new-expression.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class MemoryLimit {
 public:
  explicit MemoryLimit(std::size_t failFrom) { gFailAllocationsFrom.store(failFrom); }
  ~MemoryLimit() { gFailAllocationsFrom.store(0); }
  MemoryLimit(const MemoryLimit&) = delete;
  MemoryLimit& operator=(const MemoryLimit&) = delete;
};

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

CliRun RunCommand(const std::vector<std::string>& args, const TCliContext& context = {}) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun r;
  r.code = RunCli(args, out, err, context);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::string Expected(std::string_view name) { return ReadFileBytes(TestDataPath(std::string("cli/") + std::string(name))); }

// Runs with the current folder set to `dir`, as the host's batch file does.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path old_;
};

// Whitespace-separated words of the output line that starts with `head`.
std::vector<std::string> WordsOfLine(const std::string& text, std::string_view head) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(head, 0) != 0) continue;
    std::istringstream words(line);
    std::vector<std::string> out;
    for (std::string w; words >> w;) out.push_back(w);
    return out;
  }
  return {};
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(exchange_, ReadFileBytes(TestDataPath("cli/drawing.txt")));
    TPresetModel model;
    model.CurrentTab = 1;
    TPresetTable& t1 = model.Table(1);
    t1.Comment = "\x8D\xD7\x90\xFC";  // thin line
    t1.Widths[0x01] = 25;
    t1.Widths[0x02] = 35;
    t1.Widths[0x2A] = 50;
    t1.Widths[0xFF] = 0;
    model.Table(2).Comment = "all 13";
    model.Table(2).Widths.fill(13);
    const TPresetControls controls{true, false, true, false, ""};
    ASSERT_TRUE(SavePresets(presets_, model, controls));
    presetBytes_ = ReadFileBytes(presets_);
  }

  std::string P(const std::filesystem::path& p) const { return p.string(); }

  TempDir dir_;
  std::filesystem::path exchange_ = dir_ / "JWC_TEMP.TXT";
  std::filesystem::path presets_ = dir_ / "t905.dat";
  std::string presetBytes_;
};

TEST_F(Cli, ConvertWritesTheExpectedAnswer) {
  const struct {
    std::vector<std::string> options;
    const char* expected;
  } rows[] = {
      // table 1, kinds from the preset file: points and solids, not arbitrary colours
      {{}, "answer_default.txt"},
      {{"--tab", "2", "--dims", "--arbitrary"}, "answer_tab2_dims.txt"},
      {{"--tab=2", "--solids", "--arbitrary"}, "answer_tab2_solids.txt"},
      {{"--points"}, "answer_points.txt"},
  };
  for (const auto& r : rows) {
    WriteFileBytes(exchange_, ReadFileBytes(TestDataPath("cli/drawing.txt")));
    std::vector<std::string> args = {"convert", "--exchange", P(exchange_), "--presets", P(presets_)};
    args.insert(args.end(), r.options.begin(), r.options.end());
    const CliRun run = RunCommand(args);
    EXPECT_EQ(run.code, 0) << r.expected << ": " << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "") << "output only with --summary";
    EXPECT_EQ(ReadFileBytes(exchange_), Expected(r.expected)) << r.expected;
    EXPECT_EQ(ReadFileBytes(presets_), presetBytes_) << "the preset file is never written";
  }
}

// The host runs the batch file with its own current folder; the files are
// the ones beside the executable, as for the window.
TEST_F(Cli, DefaultFilesAreTheOnesBesideTheExecutable) {
  TempDir elsewhere;
  WriteFileBytes(elsewhere / "JWC_TEMP.TXT", "hq\r\n");
  InFolder in(elsewhere.path());
  const TCliContext beside{dir_.path(), nullptr};
  const CliRun convert = RunCommand({"convert"}, beside);
  EXPECT_EQ(convert.code, 0) << convert.err;
  EXPECT_EQ(ReadFileBytes(exchange_), Expected("answer_default.txt"));
  EXPECT_EQ(RunCommand({"show"}, beside).out, Expected("show_tab1.txt"));
  EXPECT_EQ(RunCommand({"stats"}, beside).code, 0);
  EXPECT_EQ(RunCommand({"cancel"}, beside).code, 0);
  EXPECT_EQ(ReadFileBytes(exchange_), "hq\r\n");
  EXPECT_EQ(ReadFileBytes(elsewhere / "JWC_TEMP.TXT"), "hq\r\n") << "the current folder's file is not touched";
}

// A missing default file: the message gives the full path looked at and the
// option that names another.
TEST(CliDefaults, MissingDefaultFileNamesItsFullPathAndTheOption) {
  TempDir exeDir;
  const TCliContext beside{exeDir.path(), nullptr};
  const std::string exchange = (exeDir / "JWC_TEMP.TXT").string();
  const std::string presets = (exeDir / "t905.dat").string();
  const struct {
    std::vector<std::string> args;
    std::string path;
    const char* option;
  } rows[] = {
      {{"convert"}, presets, "--presets FILE"},
      {{"show"}, presets, "--presets FILE"},
      {{"stats"}, exchange, "--exchange FILE"},
  };
  for (const auto& r : rows) {
    const CliRun run = RunCommand(r.args, beside);
    EXPECT_EQ(run.code, 1) << r.args[0];
    EXPECT_NE(run.err.find("'" + r.path + "'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(r.option), std::string::npos) << run.err;
  }
  TPresetModel model;
  ASSERT_TRUE(SavePresets(exeDir / "t905.dat", model, TPresetControls{}));
  const CliRun run = RunCommand({"convert"}, beside);
  EXPECT_NE(run.err.find("'" + exchange + "'"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--exchange FILE"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(exeDir / "JWC_TEMP.TXT"));
}

TEST_F(Cli, ConvertOutLeavesTheExchangeFileAlone) {
  const auto out = dir_ / "answer.txt";
  const CliRun run = RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_), "--out", P(out)});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(exchange_), ReadFileBytes(TestDataPath("cli/drawing.txt")));
  EXPECT_EQ(ReadFileBytes(out), Expected("answer_default.txt"));
}

TEST_F(Cli, SummaryCountsEntitiesReadAndConverted) {
  const CliRun run = RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_), "--summary"});
  ASSERT_EQ(run.code, 0) << run.err;
  const struct {
    const char* head;
    const char* read;
    const char* converted;
  } rows[] = {
      {"ln  lines", "5", "5"},  {"ci  circles", "1", "1"},          {"ci  arcs", "1", "1"},
      {"ch  texts", "1", "0"},  {"pt  points (marker)", "1", "1"},  {"msg dimensions", "1", "0"},
      {"se  solids", "2", "1"}, {"BL  block references", "1", "0"}, {"total", "18", "11"},
  };
  for (const auto& r : rows) {
    const auto words = WordsOfLine(run.out, r.head);
    ASSERT_GE(words.size(), 3u) << r.head << " in\n" << run.out;
    EXPECT_EQ(words[words.size() - 2], r.read) << r.head;
    EXPECT_EQ(words.back(), r.converted) << r.head;
  }
  EXPECT_FALSE(WordsOfLine(run.out, "elapsed:").empty());
}

TEST_F(Cli, MissingFilesFailWithTheirName) {
  const auto none = dir_ / "none.txt";
  const struct {
    std::vector<std::string> args;
    std::string named;
  } rows[] = {
      {{"convert", "--exchange", P(none), "--presets", P(presets_)}, P(none)},
      {{"convert", "--exchange", P(exchange_), "--presets", P(none)}, P(none)},
      {{"show", "--presets", P(none)}, P(none)},
      {{"stats", "--exchange", P(none)}, P(none)},
      {{"import-jwf", P(dir_ / "none.jwf")}, P(dir_ / "none.jwf")},
      {{"import-jwf", P(exchange_)}, P(exchange_)},  // not an environment file
      {{"convert", "--exchange", P(exchange_), "--presets", P(presets_), "--out", P(dir_ / "no" / "a.txt")},
       P(dir_ / "no" / "a.txt")},
      {{"cancel", "--exchange", P(dir_ / "no" / "a.txt")}, P(dir_ / "no" / "a.txt")},
  };
  for (const auto& r : rows) {
    const CliRun run = RunCommand(r.args);
    EXPECT_EQ(run.code, 1) << r.args[0] << " " << r.named;
    EXPECT_NE(run.err.find(r.named), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(none)) << "a missing exchange file gets no answer";
  EXPECT_EQ(ReadFileBytes(exchange_), ReadFileBytes(TestDataPath("cli/drawing.txt")));
}

TEST_F(Cli, CancelAnswersHq) {
  const CliRun run = RunCommand({"cancel", "--exchange", P(exchange_)});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(exchange_), "hq\r\n");
}

// Records what a conversion reports, to check the stages and the end.
class RecordingProgress : public ICliProgress {
 public:
  void Show(TCliStage stage, uint64_t done, uint64_t total) override {
    if (stages.empty() || stages.back() != stage) stages.push_back(stage);
    if (done > total && total != 0) beyondTotal = true;
    lastDone[static_cast<int>(stage)] = done;
    lastTotal[static_cast<int>(stage)] = total;
  }
  void Finish() override { ++finished; }

  std::vector<TCliStage> stages;
  uint64_t lastDone[3] = {};
  uint64_t lastTotal[3] = {};
  bool beyondTotal = false;
  int finished = 0;
};

TEST_F(Cli, ConvertReportsReadingConvertingWritingInTurn) {
  RecordingProgress progress;
  const CliRun run = RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_)},
                                TCliContext{{}, &progress});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::vector<TCliStage> expected = {TCliStage::Reading, TCliStage::Converting, TCliStage::Writing};
  EXPECT_EQ(progress.stages, expected);
  EXPECT_FALSE(progress.beyondTotal);
  const uint64_t fileSize = ReadFileBytes(TestDataPath("cli/drawing.txt")).size();
  EXPECT_EQ(progress.lastDone[0], fileSize);
  EXPECT_EQ(progress.lastTotal[0], fileSize);
  EXPECT_EQ(progress.lastTotal[2], ReadFileBytes(exchange_).size()) << "writing counts the answer's bytes";
  EXPECT_GE(progress.finished, 1);
  EXPECT_EQ(ReadFileBytes(exchange_), Expected("answer_default.txt")) << "progress changes no answer";
}

// A large drawing is read and its answer written on threads of their own;
// the answer's thread reports the writing through the same progress, which
// must still come in turn and change nothing.
TEST_F(Cli, LargeConvertReportsInTurnAndWritesTheQuietAnswer) {
  const std::string drawing = GenerateExchangeFile(40000, 4);
  ASSERT_GT(drawing.size(), std::size_t{2} << 20);
  const auto shown = dir_ / "shown.txt";
  const auto quiet = dir_ / "quiet.txt";
  WriteFileBytes(shown, drawing);
  WriteFileBytes(quiet, drawing);
  RecordingProgress progress;
  ASSERT_EQ(RunCommand({"convert", "--exchange", P(shown), "--presets", P(presets_)}, TCliContext{{}, &progress}).code, 0);
  ASSERT_EQ(RunCommand({"convert", "--exchange", P(quiet), "--presets", P(presets_), "--quiet"}).code, 0);
  const std::vector<TCliStage> expected = {TCliStage::Reading, TCliStage::Converting, TCliStage::Writing};
  EXPECT_EQ(progress.stages, expected);
  EXPECT_FALSE(progress.beyondTotal);
  const std::string answer = ReadFileBytes(shown);
  EXPECT_EQ(progress.lastTotal[2], answer.size());
  EXPECT_TRUE(answer == ReadFileBytes(quiet));
  EXPECT_EQ(answer.rfind("hd\r\n", 0), 0u);
}

TEST_F(Cli, QuietOrFailedConvertLeavesNoProgressBehind) {
  const struct {
    std::vector<std::string> extra;
    bool anyShown;
    int code;
  } rows[] = {
      {{"--quiet"}, false, 0},
      {{"--out", P(dir_ / "no" / "a.txt")}, false, 1},  // refused before any work starts
  };
  for (const auto& r : rows) {
    RecordingProgress progress;
    std::vector<std::string> args = {"convert", "--presets", P(presets_), "--exchange", P(exchange_)};
    args.insert(args.end(), r.extra.begin(), r.extra.end());
    EXPECT_EQ(RunCommand(args, TCliContext{{}, &progress}).code, r.code) << r.extra[0];
    EXPECT_EQ(!progress.stages.empty(), r.anyShown) << r.extra[0];
    if (r.anyShown) {
      EXPECT_GE(progress.finished, 1) << r.extra[0];
    }
  }
}

TEST(CliUsage, WrongCommandLinesExitTwoWithOneLine) {
  const std::vector<std::string> rows[] = {
      {},
      {"convrt"},
      {"convert", "--bogus"},
      {"convert", "-x"},
      {"convert", "--tab"},
      {"convert", "--tab", "0"},
      {"convert", "--tab", "21"},
      {"convert", "--tab", "2x"},
      {"convert", "--summary=yes"},
      {"convert", "extra"},
      {"show", "--points"},
      {"cancel", "--presets", "t905.dat"},
      {"import-jwf"},
      {"import-jwf", "a.jwf", "b.jwf"},
      {"--version", "show"},
      {"--utf8"},
      {"--quiet", "convrt"},
      {"convert", "--utf8=yes"},
  };
  for (const auto& args : rows) {
    const CliRun run = RunCommand(args);
    const std::string shown = args.empty() ? "(nothing)" : args[0] + (args.size() > 1 ? " " + args[1] : "");
    EXPECT_EQ(run.code, 2) << shown;
    EXPECT_EQ(run.err.rfind("t905cli: ", 0), 0u) << shown << ": " << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << shown << ": " << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST(CliUsage, HelpEverywhere) {
  const std::vector<std::string> rows[] = {
      {"--help"}, {"help"}, {"-h"}, {"convert", "--help"}, {"cancel", "-h"},
      {"show", "--help"}, {"import-jwf", "--help"}, {"stats", "--help"}, {"convert", "--tab", "1", "--help"},
      {"/?"}, {"convert", "/?"}, {"--utf8", "-h"}, {"stats", "--quiet", "-h"},
  };
  for (const auto& args : rows) {
    const CliRun run = RunCommand(args);
    EXPECT_EQ(run.code, 0) << args[0];
    EXPECT_EQ(run.out.rfind("usage: t905cli", 0), 0u) << args[0];
    EXPECT_EQ(run.err, "");
  }
}

TEST(CliUsage, VersionPrintsNameAndTheBuildsVersion) {
  for (const char* option : {"--version", "-V"}) {
    const CliRun run = RunCommand({option});
    EXPECT_EQ(run.code, 0) << option;
    EXPECT_EQ(run.out, std::string("t905cli ") + T905_VERSION + "\n") << option;
    EXPECT_EQ(run.err, "");
  }
}

// Every command takes the output options, before or after its name.
TEST_F(Cli, OutputOptionsAreAcceptedByEveryCommand) {
  const std::vector<std::string> rows[] = {
      {"--utf8", "show", "--presets", P(presets_)},
      {"show", "--quiet", "--presets", P(presets_), "--utf8"},
      {"--quiet", "--utf8", "stats", "--exchange", P(exchange_)},
      {"import-jwf", "--utf8", TestDataPath("jwf/sample.jwf").string()},
      {"convert", "--quiet", "--exchange", P(exchange_), "--presets", P(presets_)},
      {"cancel", "--utf8", "--exchange", P(dir_ / "answer.txt")},
  };
  for (const auto& args : rows) {
    const CliRun run = RunCommand(args);
    EXPECT_EQ(run.code, 0) << args[0] << " " << args[1] << ": " << run.err;
  }
  EXPECT_EQ(RunCommand({"--utf8", "show", "--presets", P(presets_)}).out, Expected("show_tab1.txt"));
}

TEST(CliUsage, Utf8IsAskedForOnlyBeforeTheEndOfOptions) {
  const struct {
    std::vector<std::string> args;
    bool utf8;
  } rows[] = {
      {{"show", "--utf8"}, true},
      {{"--utf8", "show"}, true},
      {{"show"}, false},
      {{"import-jwf", "--", "--utf8"}, false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(CliWantsUtf8(r.args), r.utf8) << r.args.back();
  }
}

TEST_F(Cli, ShowPrintsTheTable) {
  const CliRun run = RunCommand({"show", "--presets", P(presets_)});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, Expected("show_tab1.txt"));
  const CliRun two = RunCommand({"show", "--presets", P(presets_), "--tab", "2"});
  EXPECT_NE(two.out.find("comment: all 13\n"), std::string::npos) << two.out;
  std::vector<std::string> rowF(17, "13");
  rowF[0] = "F";
  EXPECT_EQ(WordsOfLine(two.out, "  F"), rowF);
}

TEST(CliImportJwf, PrintsTheGridStartingFromMinusOne) {
  const CliRun run = RunCommand({"import-jwf", TestDataPath("jwf/sample.jwf").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  const auto at = run.out.find('\n');
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(run.out.substr(at + 1), Expected("import_sample.txt"));
}

TEST(CliImportJwf, FileNameBeginningWithADashAfterTheEndOfOptions) {
  TempDir dir;
  WriteFileBytes(dir / "-w.jwf", "LAYWID_0 = 5\r\n");
  InFolder in(dir.path());
  const CliRun run = RunCommand({"import-jwf", "--", "-w.jwf"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(WordsOfLine(run.out, "  0").at(1), "5");
  EXPECT_EQ(RunCommand({"import-jwf", "-w.jwf"}).code, 2);
}

TEST_F(Cli, StatsCountsKindsAndLayers) {
  const CliRun run = RunCommand({"stats", "--exchange", P(exchange_)});
  EXPECT_EQ(run.code, 0) << run.err;
  const auto at = run.out.find('\n');
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(run.out.substr(at + 1), Expected("stats_drawing.txt"));
}

// --- Failures: what is refused, what is left on disk, what the message says ---

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST_F(Cli, ExchangeFileNotFromTheHostIsLeftAloneUnlessForced) {
  const struct {
    const char* name;
    std::string bytes;
    const char* shown;  // what the message says stands in the first line
  } rows[] = {
      {"a preset file (the files mixed up)", "", "'0'"},  // filled in below
      {"an empty file", "", "is empty"},
      {"text of another program", "Hello\r\nworld\r\n", "'Hello'"},
      {"Shift-JIS bytes", "\x90\x7D\x96\xCA\r\n", "'\\x90\\x7D\\x96\\xCA'"},
      {"hq glued to more", "hqx\r\n", "'hqx'"},
  };
  for (const auto& r : rows) {
    const std::string bytes = std::string(r.name).rfind("a preset", 0) == 0 ? presetBytes_ : r.bytes;
    const auto file = dir_ / "other.txt";
    for (const char* command : {"convert", "cancel"}) {
      WriteFileBytes(file, bytes);
      std::vector<std::string> args = {command, "--exchange", P(file)};
      if (std::string_view(command) == "convert") args.insert(args.end(), {"--presets", P(presets_)});
      const CliRun run = RunCommand(args);
      EXPECT_EQ(run.code, 1) << command << " on " << r.name;
      EXPECT_EQ(ReadFileBytes(file), bytes) << command << " on " << r.name;
      EXPECT_TRUE(Has(run.err, P(file)) && Has(run.err, r.shown) && Has(run.err, "--force"))
          << command << " on " << r.name << ": " << run.err;
      args.push_back("--force");
      const CliRun forced = RunCommand(args);
      EXPECT_EQ(forced.code, 0) << command << " --force on " << r.name << ": " << forced.err;
      EXPECT_EQ(ReadFileBytes(file).substr(0, 2), std::string_view(command) == "convert" ? "hd" : "hq");
    }
  }
  std::filesystem::remove(dir_ / "other.txt");
  EXPECT_EQ(RunCommand({"cancel", "--exchange", P(dir_ / "other.txt")}).code, 0) << "a missing file is answered";
  EXPECT_EQ(ReadFileBytes(dir_ / "other.txt"), "hq\r\n");
}

TEST_F(Cli, AnAnswerMayBeConvertedAgain) {
  ASSERT_EQ(RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_)}).code, 0);
  const CliRun again = RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_)});
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_EQ(ReadFileBytes(exchange_).substr(0, 4), "hd\r\n");
}

TEST_F(Cli, FailedReadWritesNothingAndSaysWhy) {
  const auto folder = dir_ / "folder.txt";
  std::filesystem::create_directory(folder);
  const std::string drawing = ReadFileBytes(exchange_);
  const auto out = dir_ / "answer.txt";
  {
    const CliRun run = RunCommand({"convert", "--exchange", P(folder), "--presets", P(presets_), "--out", P(out)});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, P(folder)) && Has(run.err, std::strerror(EISDIR))) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << "a failed read is never answered";
  }
  // Larger than the limit below, so that the reader's first block, sized to the file, is too.
  std::string large = drawing;
  for (int i = 0; i < 70000; ++i) large += "0 0 1 1\r\n";
  WriteFileBytes(exchange_, large);
  for (const char* command : {"convert", "stats"}) {
    std::vector<std::string> args = {command, "--exchange", P(exchange_)};
    if (std::string_view(command) == "convert") args.insert(args.end(), {"--presets", P(presets_)});
    CliRun run;
    {
      // The reader's first block cannot be had, as under a tight memory limit.
      MemoryLimit limit(512 * 1024);
      run = RunCommand(args);
    }
    EXPECT_EQ(run.code, 1) << command;
    EXPECT_EQ(ReadFileBytes(exchange_), large) << command << ": the exchange file must stay as it was";
    EXPECT_TRUE(Has(run.err, P(exchange_)) && Has(run.err, "not enough memory") &&
                Has(run.err, std::to_string(large.size()) + " bytes"))
        << command << ": " << run.err;
    EXPECT_FALSE(Has(run.err, "bad_alloc")) << run.err;
  }
}

// A stream whose every write fails for want of memory.
class NoMemoryBuf : public std::streambuf {
 protected:
  int_type overflow(int_type) override { throw std::bad_alloc(); }
};

TEST_F(Cli, MemoryRunningOutAnywhereIsSaidInWords) {
  NoMemoryBuf buf;
  std::ostream out(&buf);
  out.exceptions(std::ios::badbit);
  std::ostringstream err;
  const int code = RunCli({"convert", "--exchange", P(exchange_), "--presets", P(presets_), "--summary"}, out, err);
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(Has(err.str(), "not enough memory")) << err.str();
  EXPECT_FALSE(Has(err.str(), "bad_alloc")) << err.str();
}

TEST_F(Cli, AnswerWithNowhereToGoIsRefusedBeforeTheWork) {
  const auto folder = dir_ / "folder";
  std::filesystem::create_directory(folder);
  const auto readOnly = dir_ / "read-only.txt";
  WriteFileBytes(readOnly, "hq\r\n");
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const struct {
    std::string out;
    const char* reason;
  } rows[] = {
      {"", "no file name"},
      {P(dir_ / "nodir" / "x.txt"), "does not exist"},
      {P(folder), "is a folder"},
      {P(readOnly), "read-only"},
  };
  const std::string drawing = ReadFileBytes(exchange_);
  for (const auto& r : rows) {
    const CliRun run = RunCommand({"convert", "--exchange", P(exchange_), "--presets", P(presets_), "--out", r.out});
    EXPECT_EQ(run.code, 1) << r.out;
    EXPECT_TRUE(Has(run.err, "'" + r.out + "'") && Has(run.err, r.reason)) << r.out << ": " << run.err;
  }
  EXPECT_EQ(ReadFileBytes(readOnly), "hq\r\n");
  EXPECT_EQ(ReadFileBytes(exchange_), drawing);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(Cli, ReadOnlyExchangeFileIsRefusedAndStaysReadOnly) {
  WriteFileBytes(exchange_, "hq\r\n");
  std::filesystem::permissions(exchange_, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const std::vector<std::string> rows[] = {
      {"convert", "--exchange", P(exchange_), "--presets", P(presets_)},
      {"cancel", "--exchange", P(exchange_)},
      {"cancel", "--exchange", P(exchange_), "--force"},
  };
  for (const auto& args : rows) {
    const CliRun run = RunCommand(args);
    EXPECT_EQ(run.code, 1) << args[0];
    EXPECT_TRUE(Has(run.err, P(exchange_)) && Has(run.err, "read-only")) << run.err;
  }
  EXPECT_EQ(ReadFileBytes(exchange_), "hq\r\n");
  EXPECT_EQ(std::filesystem::status(exchange_).permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

TEST_F(Cli, PresetFileThatIsNotOneIsSaidSoUnlessForced) {
  const std::string whole = presetBytes_;
  std::string longer = whole + "7\r\n";
  std::string cut = whole.substr(0, whole.size() / 2);
  std::string crAlone;
  for (const char c : whole) {
    if (c != '\n') crAlone += c;
  }
  const struct {
    const char* name;
    std::string bytes;
    const char* problem;
  } rows[] = {
      {"an exchange file", ReadFileBytes(exchange_), "line 1 is 'hq', not a number"},
      {"garbage", "\x01\x02zz\r\n", "line 1 is '\\x01\\x02zz', not a number"},
      {"a window position of words", "0\r\nleft\r\n", "line 2 is 'left'"},
      {"a file cut short", cut, "lines, not 5148"},
      {"a line past the end", longer, "5149 lines, not 5148"},
      {"lines ending in CR alone", crAlone, "not a number (a CR alone ends no line: lines end at LF or CR LF)"},
  };
  const auto file = dir_ / "other.dat";
  for (const auto& r : rows) {
    WriteFileBytes(file, r.bytes);
    for (const char* command : {"convert", "show"}) {
      std::vector<std::string> args = {command, "--presets", P(file)};
      if (std::string_view(command) == "convert") args.insert(args.end(), {"--exchange", P(exchange_)});
      const CliRun run = RunCommand(args);
      EXPECT_EQ(run.code, 1) << command << " with " << r.name;
      EXPECT_TRUE(Has(run.err, P(file)) && Has(run.err, r.problem) && Has(run.err, "--force"))
          << command << " with " << r.name << ": " << run.err;
      args.push_back("--force");
      EXPECT_EQ(RunCommand(args).code, 0) << command << " --force with " << r.name;
      WriteFileBytes(exchange_, ReadFileBytes(TestDataPath("cli/drawing.txt")));
    }
  }
  // Empty lines past the end, as an editor may leave them, are no fault.
  WriteFileBytes(file, whole + "\r\n\r\n");
  EXPECT_EQ(RunCommand({"show", "--presets", P(file)}).code, 0);
}

TEST(CliUsage, UsageErrorsPointAtTheCommandsHelp) {
  const struct {
    std::vector<std::string> args;
    const char* hint;
  } rows[] = {
      {{"convert", "--bogus"}, "'t905cli convert --help'"},
      {{"show", "--tab", "99"}, "'t905cli show --help'"},
      {{"import-jwf"}, "'t905cli import-jwf --help'"},
      {{"frob"}, "'t905cli --help'"},
      {{}, "'t905cli --help'"},
  };
  for (const auto& r : rows) {
    const CliRun run = RunCommand(r.args);
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(Has(run.err, r.hint)) << run.err;
  }
}

TEST(CliStats, LayersCarryTheNamesOfTheFile) {
  TempDir dir;
  // Group 1 "dim", its layer 2 "text line"; group 3 unnamed.
  WriteFileBytes(dir / "JWC_TEMP.TXT", "hq\r\nlg1\r\nlgndim\r\nly2\r\nlyn\"text line\r\n0 0 1 1\r\nlg3\r\n0 0 2 2\r\n");
  InFolder in(dir.path());
  const CliRun run = RunCommand({"stats"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\n  1-2                       1  dim / text line\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n  3-2                       1\n"), std::string::npos) << run.out;
}

}  // namespace
