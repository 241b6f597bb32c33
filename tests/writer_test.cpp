// The answer writer: the whole answer, the walk's progress and Escape abort,
// block references, the closing layer lines and the close-time write.
#include "exchange/write/writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "exchange/read/reader.h"
#include "tests/support/files.h"

namespace {

using Lines = std::vector<std::string>;

// "ＭＳ ゴシック" in Shift-JIS.
const std::string kGothic = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

class RecordingProgress : public IJwwProgress {
 public:
  void ShowProgress(std::string_view text) override { shown.emplace_back(text); }
  Lines shown;
};

// Escape goes down at the given check (0 = the first, at entity 0).
class EscapeAtCheck : public IJwwEscapeKey {
 public:
  explicit EscapeAtCheck(int check) : check_(check) {}
  bool IsEscapeDown() override { return calls++ >= check_; }
  int calls = 0;

 private:
  int check_;
};

std::string Join(const Lines& lines) {
  std::string bytes;
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

// Plain lines on the given layer, one per entity.
std::string PlainLines(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += "0 " + std::to_string(i) + " 10 " + std::to_string(i) + "\r\n";
  return bytes;
}

class WriterTest : public ::testing::Test {
 protected:
  void Read(std::string_view bytes) {
    JwwDataInit(d);
    JwwReadBytes(d, bytes);
    w.emplace(d);
  }
  // The OK flow: "hd", then the walk.
  void Ok(IJwwProgress* progress = nullptr, IJwwEscapeKey* escape = nullptr) {
    JwwPutLine(*w, "hd");
    JwwWriteData(*w, TJwwOverrides{}, progress, escape);
  }
  std::string WrittenFile() {
    const auto path = dir / "JWC_TEMP.TXT";
    WriteFileBytes(path, "hq\r\n");
    EXPECT_TRUE(JwwWriteFile(*w, path));
    return ReadFileBytes(path);
  }

  TempDir dir;
  TJwwData d;
  std::optional<TJwwWriter> w;  // a new one for each drawing read, as each run has
};

TEST_F(WriterTest, WholeAnswerAfterAWidthChange) {
  Read(Join({"hq", "lw0", "lg0", "ly1", "lc2", "lt1", "0 0 100 50.5", "cn0 2.5 2.5 0 2", "cc0",
             "cn\"$" + kGothic, "ch 10 20 1 0 \"ABC"}));
  ASSERT_EQ(d.Lines.size(), 1u);
  d.Lines[0].lw = 25;
  Ok();
  EXPECT_EQ(WrittenFile(), Join({"hd", "lg0", "ly1", "lc2", "lt1", "lw25", "0 0 100 50.5", "cn0 2.5 2.5 0 2", "cc0",
                                 "cn\"$" + kGothic, "ch 10 20 1 0 \"ABC"}));
}

TEST_F(WriterTest, CancelAnswersHq) {
  Read(PlainLines(3));
  EXPECT_EQ(WrittenFile(), "hq\r\n");
}

TEST_F(WriterTest, EmptyDrawingGetsItsClosingLayerLines) {
  Read("");
  Ok();
  EXPECT_EQ(WrittenFile(), Join({"hd", "lg0", "ly0"}));
  Read(Join({"lg3", "lyA", "lg5", "ly2"}));
  Ok();
  EXPECT_EQ(WrittenFile(), Join({"hd", "lg3", "lyA"}));
}

TEST_F(WriterTest, BzStandsRightAfterHd) {
  Read(Join({"hq", "bz", "lg1", "ly2", "0 0 1 1"}));
  Ok();
  EXPECT_EQ(WrittenFile(), Join({"hd", "bz", "lg1", "ly2", "lc1", "lt1", "0 0 1 1"}));
}

TEST_F(WriterTest, ProgressEveryHundredEntitiesCountingBlockReferences) {
  // 250 entities, 50 of them block references, which are never written back.
  std::string bytes = "lg2\r\nly3\r\n";
  for (int i = 0; i < 250; ++i) bytes += i % 5 == 0 ? "BL 1 2 \"part\r\n" : "0 0 1 " + std::to_string(i) + "\r\n";
  Read(bytes);
  RecordingProgress progress;
  Ok(&progress);
  // "処理中(ESC:中断)：" and "／" in Shift-JIS.
  const std::string head = "\x8f\x88\x97\x9d\x92\x86(ESC:\x92\x86\x92\x66)\x81\x46";
  const std::string slash = "\x81\x5e";
  EXPECT_EQ(progress.shown, (Lines{head + "1" + slash + "250", head + "101" + slash + "250",
                                   head + "201" + slash + "250"}));
  const Lines answer = SplitCrLf(WrittenFile());
  EXPECT_EQ(answer.size(), 5u + 200u);  // hd, lg2, ly3, lc1, lt1, then 200 lines
  for (const std::string& line : answer) EXPECT_EQ(line.find("BL"), std::string::npos) << line;
}

TEST_F(WriterTest, EscapeAtTheFirstCheckLeavesOnlyTheClosingLines) {
  Read(Join({"lg4", "ly5"}) + PlainLines(10));
  EscapeAtCheck escape(0);
  RecordingProgress progress;
  Ok(&progress, &escape);
  EXPECT_EQ(escape.calls, 1);
  EXPECT_EQ(progress.shown.size(), 1u);
  EXPECT_EQ(WrittenFile(), Join({"lg4", "ly5"}));
}

TEST_F(WriterTest, EscapeLaterOnTheFirstLayerAnswersHq) {
  Read(Join({"lg4", "ly5"}) + PlainLines(150));
  EscapeAtCheck escape(1);
  Ok(nullptr, &escape);
  EXPECT_EQ(escape.calls, 2);
  EXPECT_EQ(WrittenFile(), "hq\r\n");
}

TEST_F(WriterTest, EscapeLaterOnAnotherLayerRestoresTheFirstLayer) {
  Read(Join({"lg4", "ly5", "0 0 1 1", "lg6", "ly5"}) + PlainLines(150));
  EscapeAtCheck escape(1);
  Ok(nullptr, &escape);
  EXPECT_EQ(WrittenFile(), Join({"lg4", "ly5"}));
}

TEST_F(WriterTest, FontNameEndingInAQuoteDoesNotSwallowTheNextLine) {
  Read(Join({"cn0 2 2 0 1", "cn\"$F\"", "ch 0 0 1 0 \"first", "ch 5 5 1 0 \"second"}));
  ASSERT_EQ(d.Texts.size(), 2u);
  ASSERT_EQ(d.Texts[0].font, "F\"");
  Ok();
  const std::string answer = WrittenFile();
  EXPECT_NE(answer.find("cn\"$F\"\r\nch 0 0 1 0 \"first\r\n"), std::string::npos) << answer;
  TJwwData back;
  JwwDataInit(back);
  JwwReadBytes(back, answer);
  ASSERT_EQ(back.Texts.size(), 2u);
  EXPECT_EQ(back.Texts[0].font, "F\"");
  EXPECT_EQ(back.Texts[0].text, "first");
  EXPECT_EQ(back.Texts[1].text, "second");
}

TEST_F(WriterTest, FlagsOfALeftOutEntityDoNotLandOnTheNext) {
  Read(Join({"z1", "z3", "5 5 5 5", "z2", "sl 0 0 0 0 0 0 0 0", "0 0 10 0", "z5", "ci 0 0 0", "ci 0 0 3"}));
  ASSERT_EQ(d.Lines.size(), 2u);
  ASSERT_EQ(d.Lines[1].z, 0);
  ASSERT_EQ(d.Circles[1].z, 0);
  Ok();
  TJwwData back;
  JwwDataInit(back);
  JwwReadBytes(back, WrittenFile());
  ASSERT_EQ(back.Lines.size(), 1u);
  EXPECT_EQ(back.Lines[0].z, 0);
  ASSERT_EQ(back.Circles.size(), 1u);
  EXPECT_EQ(back.Circles[0].z, 0);
}

TEST_F(WriterTest, LongTextsTravelBackWhole) {
  // An image reference carries a long path; the host wants every byte back.
  std::string text = "^@BM";
  for (int i = 0; i < 60; ++i) text += "\\\x90\x7d\x96\xca";  // "\図面"
  text += ",100,100";
  ASSERT_GT(text.size(), 255u);
  Read(Join({"ch 0 0 1 0 \"" + text}));
  Ok();
  TJwwData back;
  JwwDataInit(back);
  JwwReadBytes(back, WrittenFile());
  ASSERT_EQ(back.Texts.size(), 1u);
  EXPECT_EQ(back.Texts[0].text, text);
}

TEST_F(WriterTest, FailedWriteLeavesTheHostsFileAndReportsFalse) {
  Read(PlainLines(2));
  Ok();
  EXPECT_FALSE(JwwWriteFile(*w, dir / "missing" / "JWC_TEMP.TXT"));
  std::filesystem::create_directory(dir / "JWC_TEMP.TXT");
  EXPECT_FALSE(JwwWriteFile(*w, dir / "JWC_TEMP.TXT"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "JWC_TEMP.TXT"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
