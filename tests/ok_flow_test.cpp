// The OK flow without a window: converted widths reach the answer after "hd",
// and a file read only in part is answered "hq" so the host keeps its drawing.
#include "app/ok_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "exchange/read/reader.h"
#include "exchange/write/writer.h"
#include "tests/support/files.h"

namespace {

class EscapeAfter : public IJwwEscapeKey {
 public:
  explicit EscapeAfter(int polls) : polls_(polls) {}
  bool IsEscapeDown() override { return polls_-- <= 0; }

 private:
  int polls_;
};

class Recorder : public IJwwProgress {
 public:
  void ShowProgress(std::string_view text) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

TJwwData Read(std::string_view bytes) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, bytes);
  return d;
}

std::vector<std::string> Answer(TJwwWriter& w) {
  TempDir dir;
  const auto path = dir / "JWC_TEMP.TXT";
  EXPECT_TRUE(JwwWriteFile(w, path));
  return SplitCrLf(ReadFileBytes(path));
}

bool HasLine(const std::vector<std::string>& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

constexpr std::string_view kDrawing =
    "hq\r\n"
    "lg1\r\n"
    "ly2\r\n"
    "lc3\r\n"
    "lt1\r\n"
    "lw5\r\n"
    "0 0 10 0\r\n"
    "ly3\r\n"
    "ci 5 5 2\r\n";

TEST(RunOkConversion, NewWidthsReachTheAnswerAfterHd) {
  TJwwData d = Read(kDrawing);
  TJwwWriter w(d);
  TPresetTable table;
  table.Widths[1 * 16 + 2] = 30;
  ASSERT_TRUE(RunOkConversion(d, w, table, {}, nullptr, nullptr));

  const auto lines = Answer(w);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "hd");
  EXPECT_TRUE(HasLine(lines, "lw30"));
  EXPECT_TRUE(HasLine(lines, "lw5")) << "the circle on layer 1-3 keeps its width";
  EXPECT_TRUE(HasLine(lines, "0 0 10 0"));
  EXPECT_TRUE(HasLine(lines, "ci 5 5 2"));
  const auto lw30 = std::find(lines.begin(), lines.end(), "lw30");
  const auto line = std::find(lines.begin(), lines.end(), "0 0 10 0");
  EXPECT_LT(lw30, line) << "the width line stands before the line it belongs to";
}

TEST(RunOkConversion, AllMinusOneStillHandsBackTheWholeDrawing) {
  TJwwData d = Read(kDrawing);
  TJwwWriter w(d);
  ASSERT_TRUE(RunOkConversion(d, w, TPresetTable{}, {true, true, true, true}, nullptr, nullptr));
  const auto lines = Answer(w);
  EXPECT_EQ(lines[0], "hd");
  EXPECT_TRUE(HasLine(lines, "0 0 10 0"));
  EXPECT_TRUE(HasLine(lines, "ci 5 5 2"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "lw5"), 1);
  EXPECT_EQ(d.Lines[0].lw, 5);
}

TEST(RunOkConversion, EmptyDrawingAnswersHdAndTheClosingLayers) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadFile(d, TempDir().path() / "JWC_TEMP.TXT");  // no such file
  ASSERT_EQ(d.ReadOutcome, TJwwReadOutcome::Missing);
  TJwwWriter w(d);
  ASSERT_TRUE(RunOkConversion(d, w, TPresetTable{}, {}, nullptr, nullptr));
  EXPECT_EQ(Answer(w), (std::vector<std::string>{"hd", "lg0", "ly0"}));
}

TEST(RunOkConversion, FileReadOnlyInPartIsAnsweredHq) {
  TJwwData d = Read(kDrawing);
  TJwwWriter w(d);
  d.ReadOutcome = TJwwReadOutcome::Failed;
  TPresetTable table;
  table.Widths.fill(40);
  TConvertStats stats;
  stats.set[kKindLine] = 77;
  EXPECT_FALSE(RunOkConversion(d, w, table, {true, true, true, true}, nullptr, nullptr, &stats));
  EXPECT_EQ(w.Output.Count(), 0u);
  EXPECT_EQ(d.Lines[0].lw, 5) << "nothing is converted";
  EXPECT_EQ(Answer(w), std::vector<std::string>{"hq"});
}

TEST(RunOkConversion, DirectoryInPlaceOfTheExchangeFileIsAnsweredHq) {
  TempDir dir;
  const auto path = dir / "JWC_TEMP.TXT";
  std::filesystem::create_directory(path);
  TJwwData d;
  JwwDataInit(d);
  JwwReadFile(d, path);
  TJwwWriter w(d);
  EXPECT_FALSE(RunOkConversion(d, w, TPresetTable{}, {}, nullptr, nullptr));
  EXPECT_EQ(w.Output.Count(), 0u);
}

TEST(RunOkConversion, EscapeBeforeTheFirstEntityDropsHd) {
  TJwwData d = Read(kDrawing);
  TJwwWriter w(d);
  EscapeAfter escape(0);
  Recorder progress;
  ASSERT_TRUE(RunOkConversion(d, w, TPresetTable{}, {}, &progress, &escape));
  const auto lines = Answer(w);
  EXPECT_FALSE(HasLine(lines, "hd"));
  EXPECT_FALSE(HasLine(lines, "0 0 10 0"));
  EXPECT_EQ(lines, (std::vector<std::string>{"lg1", "ly2"}));
  EXPECT_EQ(progress.shown.size(), 1u);
}

TEST(RunOkConversion, ProgressCountsEveryHundredEntities) {
  std::string bytes = "lg0\r\nly0\r\n";
  for (int i = 0; i < 250; ++i) bytes += "0 0 " + std::to_string(i + 1) + " 0\r\n";
  TJwwData d = Read(bytes);
  TJwwWriter w(d);
  Recorder progress;
  EscapeAfter never(1000);
  ASSERT_TRUE(RunOkConversion(d, w, TPresetTable{}, {}, &progress, &never));
  ASSERT_EQ(progress.shown.size(), 3u);
  EXPECT_TRUE(progress.shown[1].find("101\x81\x5e" "250") != std::string::npos);
  const auto lines = Answer(w);
  ASSERT_EQ(lines.size(), 1u + 4u + 250u);  // hd, lg ly lc lt once, the lines
  EXPECT_EQ(lines[5], "0 0 1 0");
  EXPECT_EQ(lines.back(), "0 0 250 0");
}

}  // namespace
