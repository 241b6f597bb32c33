// The batch command's spreadsheet blocks: "show --tsv" prints what "set-table"
// reads, and a refused block leaves the preset file byte for byte as it was.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "tests/support/files.h"

namespace {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

CliRun RunWithInput(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  TCliContext context;
  context.input = &in;
  CliRun r;
  r.code = RunCli(args, out, err, context);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// A whole preset file by hand: table 1 all 5, the rest -1, a comment and a folder line.
std::string PresetFile() {
  std::string text = "10\r\n20\r\nC:\\jww\\\r\n1\r\n";
  for (int k = 1; k <= 20; ++k) {
    text += "c" + std::to_string(k) + "\r\n";
    for (int i = 0; i < 256; ++i) text += k == 1 ? "5\r\n" : "-1\r\n";
  }
  text += "1\r\n0\r\n1\r\n0\r\n";
  return text;
}

struct SetTableFixture : testing::Test {
  TempDir dir;
  std::string presets = (dir / "t905.dat").string();
  void SetUp() override { WriteFileBytes(dir / "t905.dat", PresetFile()); }
  std::string Presets() const { return ReadFileBytes(dir / "t905.dat"); }
};

struct RefusalCase {
  const char* name;
  std::string block;
  std::string says;  // part of the message (UTF-8)
};

class CliSetTableRefusal : public SetTableFixture, public testing::WithParamInterface<RefusalCase> {};

TEST_P(CliSetTableRefusal, LeavesTheFileByteIdentical) {
  const std::string before = Presets();
  const CliRun r = RunWithInput({"set-table", "--presets", presets, "--tab", "2", "-"}, GetParam().block);
  EXPECT_EQ(r.code, kCliFileError);
  EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
  EXPECT_EQ(Presets(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, CliSetTableRefusal,
    testing::Values(RefusalCase{"Word", "1\t2\r\n3\tabc\r\n", "2行目2列目の「abc」は整数ではありません"},
                    RefusalCase{"Decimal", "0.25", "1/100mm"},
                    RefusalCase{"OutOfRange", "1\t30001", "範囲にありません"},
                    RefusalCase{"PastEdge", "1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\n", "1行目17列目が表の端を越えます"},
                    RefusalCase{"Empty", "\r\n", "貼り付けるデータがありません"}),
    [](const testing::TestParamInfo<RefusalCase>& p) { return p.param.name; });

TEST_F(SetTableFixture, ShowTsvRoundTripsThroughSetTable) {
  const CliRun shown = RunWithInput({"show", "--presets", presets, "--tab", "1", "--tsv"});
  ASSERT_EQ(shown.code, kCliOk) << shown.err;
  std::string row = "5";
  for (int i = 1; i < 16; ++i) row += "\t5";
  std::string all;
  for (int i = 0; i < 16; ++i) all += row + "\n";
  EXPECT_EQ(shown.out, all);

  const std::string before = Presets();
  const CliRun set = RunWithInput({"set-table", "--presets", presets, "--tab", "1", "-"}, shown.out);
  ASSERT_EQ(set.code, kCliOk) << set.err;
  EXPECT_EQ(Presets(), before);
}

TEST_F(SetTableFixture, TilesASmallBlockAndSetsTheCommentOnlyOfThatTable) {
  WriteFileBytes(dir / "block.txt", "1\t\r\n\xEF\xBC\x93\t4\r\n");  // a full-width 3 in UTF-8
  const CliRun r = RunWithInput({"set-table", "--presets", presets, "--tab", "20", "--comment", "w", (dir / "block.txt").string()});
  ASSERT_EQ(r.code, kCliOk) << r.err;
  const std::vector<std::string> lines = SplitCrLf(Presets());
  ASSERT_EQ(lines.size(), 5148u);
  const std::size_t t20 = 4 + 257 * 19;
  EXPECT_EQ(lines[t20], "w");
  EXPECT_EQ(lines[t20 + 1], "1");
  EXPECT_EQ(lines[t20 + 2], "-1");
  EXPECT_EQ(lines[t20 + 1 + 16], "3");
  EXPECT_EQ(lines[t20 + 256], "4");
  // Everything else as it was, the folder line and the window position included.
  const std::vector<std::string> before = SplitCrLf(PresetFile());
  for (std::size_t i = 0; i < t20; ++i) ASSERT_EQ(lines[i], before[i]) << i;
  EXPECT_EQ(lines[5144], "1");
}

TEST_F(SetTableFixture, UsageNeedsTabAndOneBlock) {
  EXPECT_EQ(RunWithInput({"set-table", "--presets", presets, "-"}, "1").code, kCliUsageError);
  EXPECT_EQ(RunWithInput({"set-table", "--presets", presets, "--tab", "21", "-"}, "1").code, kCliUsageError);
  EXPECT_EQ(RunWithInput({"set-table", "--presets", presets, "--tab", "1"}).code, kCliUsageError);
  const CliRun missing = RunWithInput({"set-table", "--presets", presets, "--tab", "1", (dir / "none.txt").string()});
  EXPECT_EQ(missing.code, kCliFileError);
  EXPECT_NE(missing.err.find("no such file"), std::string::npos);
}

}  // namespace
