// The reader's non-entity lines and whole-file behaviour: header, layer,
// attribute and modifier lines, line framing, and how a read ends.
#include "exchange/read/reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "exchange/read/line_framing.h"
#include "exchange/read/line_rules.h"
#include "tests/support/files.h"

namespace {

// The store and the reader's state after the lines.
struct TParsed : TJwwData, TJwwReadState {};

TParsed Parse(const std::vector<std::string>& lines) {
  TParsed d;
  JwwDataInit(d);
  for (const std::string& line : lines) JwwParseLine(d, d, line);
  return d;
}

int32_t EntityCount(const TJwwData& d) { return static_cast<int32_t>(d.Order.size()); }

// Shift-JIS bytes of the names used below.
const std::string kOuterWall = "\x8A\x4F\x95\xC7";                // 外壁
const std::string kMincho = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";  // ＭＳ 明朝
const std::string kDrawing = "\x90\x7D\x96\xCA";                  // 図面

struct StateCase {
  const char* name;
  std::vector<std::string> lines;
  std::function<void(const TParsed&)> check;
};

std::string CaseName(const testing::TestParamInfo<StateCase>& p) { return p.param.name; }

class StateLineTest : public testing::TestWithParam<StateCase> {};

TEST_P(StateLineTest, SetsTheStore) { GetParam().check(Parse(GetParam().lines)); }

INSTANTIATE_TEST_SUITE_P(
    Header, StateLineTest,
    testing::Values(
        StateCase{"FilePathKeepsBlanksAndDoubleBytes",
                  {"file=C:\\" + kDrawing + " 1\\a.jww"},
                  [](const TParsed& d) { EXPECT_EQ(d.FilePath, "C:\\" + kDrawing + " 1\\a.jww"); }},
        StateCase{"HkHzsHn",
                  {"hk 2.5", "hzs 420 297", "hn 1 2 3 4.5"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Hk, 2.5);
                    EXPECT_EQ(d.Hzs[0], 420.0);
                    EXPECT_EQ(d.Hzs[1], 297.0);
                    EXPECT_EQ(d.Hn[3], 4.5);
                  }},
        StateCase{"HsNeedsSixteenNumbers",
                  {"hs 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 16", "hs 9 9 9"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Hs[0], 2.0);
                    EXPECT_EQ(d.Hs[15], 16.0);
                    ASSERT_EQ(d.Lines.size(), 1u);  // the short one is a plain line
                    EXPECT_EQ(d.Lines[0].x1, 0.0);
                    EXPECT_EQ(d.Lines[0].y1, 9.0);
                  }},
        StateCase{"TextTypeTable",
                  {"hcw 1 2 3 4 5 6 7 8 9 10", "hch 1 2 3 4 5 6 7 8 9 11", "hcd 0 0 0 0 0 0 0 0 0 .5",
                   "hcc 1 2 3 4 5 6 7 8 9 $A"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.TextTypes[9].width, 10.0);
                    EXPECT_EQ(d.TextTypes[9].height, 11.0);
                    EXPECT_EQ(d.TextTypes[9].spacing, 0.5);
                    EXPECT_EQ(d.TextTypes[9].colour, 10);
                    EXPECT_EQ(d.TextTypes[0].colour, 1);
                  }},
        StateCase{"HeaderLinesLeaveAttributesAlone",
                  {"bz 1 2", "hk 1", "lc3", "hk 5"},
                  [](const TParsed& d) {
                    EXPECT_TRUE(d.Bz);
                    EXPECT_EQ(d.attr.CurLc, 3);
                  }},
        StateCase{"AnswerKeywordsAndBlankLinesIgnored",
                  {"hd", "hq", "", "   ", "\t\x01"},
                  [](const TParsed& d) {
                    EXPECT_EQ(EntityCount(d), 0);
                    EXPECT_EQ(d.attr.CurLg, 0);
                  }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Layers, StateLineTest,
    testing::Values(
        StateCase{"HexGroupWithValue",
                  {"lgA 5"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.attr.CurLg, 10);
                    EXPECT_EQ(d.LgValues[10], 5);
                    EXPECT_EQ(d.first.FirstLg, 10);
                    EXPECT_FALSE(d.need.NeedLg);
                  }},
        StateCase{"LowerCaseHexAndBadDigit",
                  {"lgf", "lyc", "lgZ", "ly"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.attr.CurLg, 0);
                    EXPECT_EQ(d.attr.CurLy, 0);
                    EXPECT_EQ(d.first.FirstLg, 15);
                    EXPECT_EQ(d.first.FirstLy, 12);
                  }},
        StateCase{"GroupNameNamesCurrentGroup",
                  {"lg3", "lgn" + kOuterWall},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.LgNames[3], kOuterWall);
                    EXPECT_EQ(d.attr.CurLg, 3);
                  }},
        StateCase{"LayerValueAndNameIndexedByGroup",
                  {"lg2", "ly5 7", "lyn\"a b"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.LyValues[2 * 16 + 5], 7);
                    EXPECT_EQ(d.LyNames[2 * 16 + 5], "a b");
                  }},
        StateCase{"NameEndsAtBlankWithoutQuote",
                  {"lgn" + kOuterWall + " 2"},
                  [](const TParsed& d) { EXPECT_EQ(d.LgNames[0], kOuterWall); }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Attributes, StateLineTest,
    testing::Values(
        StateCase{"ArbitraryColourOutlivesLaterColour",
                  {"lc10 4", "lc2"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.attr.CurLc, 2);
                    EXPECT_EQ(d.attr.CurLc10, 4);
                    EXPECT_EQ(d.first.FirstLc, 10);
                  }},
        StateCase{"ArbitraryValueOnlyWithColourTen",
                  {"lc3 7"},
                  [](const TParsed& d) { EXPECT_EQ(d.attr.CurLc10, 0); }},
        StateCase{"FirstWidthKeptCurrentFollows",
                  {"lw25", "lw50"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.first.FirstLw, 25);
                    EXPECT_EQ(d.attr.CurLw, 50);
                    EXPECT_TRUE(d.LwSeen);
                  }},
        StateCase{"NoWidthLineNoWidthSeen",
                  {"lt2", "pn5"},
                  [](const TParsed& d) {
                    EXPECT_FALSE(d.LwSeen);
                    EXPECT_EQ(d.attr.CurLt, 2);
                    EXPECT_EQ(d.attr.CurPn, 5);
                  }},
        StateCase{"FreeSizeTextFirstAndCurrent",
                  {"cn0 2.5 2.5 0.5 3", "cn3"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.attr.CurCn, 3);
                    EXPECT_EQ(d.first.FirstCn, 0);
                    EXPECT_EQ(d.first.FirstTextWidth, 2.5);
                    EXPECT_EQ(d.first.FirstTextSpacing, 0.5);
                    EXPECT_EQ(d.first.FirstTextColour, 3);
                    EXPECT_EQ(d.attr.CurTextHeight, 2.5);
                    EXPECT_EQ(d.attr.CurTextColour, 3);
                  }},
        StateCase{"FreeSizeWithoutValuesKeepsThem",
                  {"cn0"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.attr.CurCn, 0);
                    EXPECT_EQ(d.attr.CurTextWidth, 2.0);
                    EXPECT_EQ(d.first.FirstTextWidth, 2.0);
                  }},
        StateCase{"FontNameWithBlank",
                  {"cn\"$" + kMincho, "cn\"$x"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.first.FirstFont, kMincho);
                    EXPECT_EQ(d.attr.CurFont, "x");
                    EXPECT_EQ(d.attr.CurCn, 1);  // not a text type line
                  }},
        StateCase{"CcRange",
                  {"cc5", "cc9"},
                  [](const TParsed& d) { EXPECT_EQ(d.attr.CurCc, 0); }},
        StateCase{"CcReadsOneDigit",
                  {"cc12"},
                  [](const TParsed& d) { EXPECT_EQ(d.attr.CurCc, 1); }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    NumberedPoints, StateLineTest,
    testing::Values(
        StateCase{"DashSuffix",
                  {"hp5- 10 20"},
                  [](const TParsed& d) {
                    EXPECT_TRUE(d.Hp[5].set);
                    EXPECT_EQ(d.Hp[5].kind, 1);
                    EXPECT_EQ(d.Hp[5].x, 10.0);
                    EXPECT_EQ(d.Hp[5].y, 20.0);
                    EXPECT_EQ(d.HpCount, 1);
                  }},
        StateCase{"NumbersOutsideSlotsAndShortLines",
                  {"hp0 1 1", "hp100 1 1", "hp7 1"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.HpCount, 0);
                    EXPECT_FALSE(d.Hp[7].set);
                    EXPECT_EQ(EntityCount(d), 0);
                  }},
        StateCase{"SuffixKindsAndSlotGivenTwice",
                  {"hp3ln 1 2", "hp4ch 1 2", "hp9ci 1 2", "hp12 1 2", "hp12 3 4"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Hp[3].kind, 2);
                    EXPECT_EQ(d.Hp[4].kind, 4);
                    EXPECT_EQ(d.Hp[9].kind, 3);
                    EXPECT_EQ(d.Hp[12].kind, 0);
                    EXPECT_EQ(d.Hp[12].x, 3.0);
                    EXPECT_EQ(d.HpCount, 5);
                  }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Modifiers, StateLineTest,
    testing::Values(
        StateCase{"HhpWithSuffixForNextEntityOnly",
                  {"hhp3ln", "ci 0 0 1", "ci 0 0 2"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Circles[0].hhp, 3);
                    EXPECT_EQ(d.Circles[1].hhp, 0);
                  }},
        StateCase{"HhpPlainAndUnreadable",
                  {"hhp12", "0 0 1 1", "hhp5x", "0 0 1 1"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Lines[0].hhp, 12);
                    EXPECT_EQ(d.Lines[1].hhp, 0);
                  }},
        StateCase{"ZFlagsAddUp",
                  {"z2", "z5", "z2", "0 0 1 1", "0 0 2 2"},
                  [](const TParsed& d) {
                    EXPECT_EQ(d.Lines[0].z, 18);
                    EXPECT_EQ(d.Lines[1].z, 0);
                  }},
        StateCase{"ZKeyMustBeExact",
                  {"z6", "z1x", "0 0 1 1"},
                  [](const TParsed& d) { EXPECT_EQ(d.Lines[0].z, 0); }}),
    CaseName);

// --- Whole files --------------------------------------------------------

TJwwData ReadFixture(std::string_view name, bool* ok = nullptr) {
  TJwwData d;
  JwwDataInit(d);
  const bool result = JwwReadFile(d, TestDataPath(std::string("reader/") + std::string(name)));
  if (ok != nullptr) *ok = result;
  return d;
}

// The same small drawing written with CR LF, LF only, and without a final line end.
TEST(ReadFile, LineEndsGiveTheSameDrawing) {
  for (const char* name : {"crlf.txt", "lf_only.txt", "no_final_eol.txt"}) {
    bool ok = false;
    const TJwwData d = ReadFixture(name, &ok);
    EXPECT_TRUE(ok) << name;
    EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::Complete) << name;
    EXPECT_EQ(d.LgNames[1], kOuterWall) << name;
    ASSERT_EQ(d.Lines.size(), 1u) << name;
    EXPECT_EQ(d.Lines[0].lg, 1) << name;
    EXPECT_EQ(d.Lines[0].ly, 2) << name;
    EXPECT_EQ(d.Lines[0].y2, 50.5) << name;
    ASSERT_EQ(d.Texts.size(), 1u) << name;
    EXPECT_EQ(d.Texts[0].text, kDrawing + " A") << name;  // no CR left at the end
    EXPECT_EQ(d.Texts[0].font, kMincho) << name;
    EXPECT_EQ(d.Circles.size(), 1u) << name;
  }
}

// A CR without an LF is no line end: the whole file is one line.
TEST(ReadFile, CarriageReturnsAloneJoinTheLines) {
  const TJwwData d = ReadFixture("cr_only.txt");
  EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::Complete);
  EXPECT_EQ(d.first.FirstLg, 1);
  EXPECT_TRUE(d.LgNames[1].empty());  // the name line is part of the first
  EXPECT_EQ(EntityCount(d), 0);
}

TEST(ReadFile, CtrlZEndsTheFile) {
  bool ok = false;
  const TJwwData d = ReadFixture("ctrl_z.txt", &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(d.Lines.size(), 2u);  // the line cut by Ctrl-Z still counts
  EXPECT_EQ(d.Lines[1].y2, 3.0);
  EXPECT_TRUE(d.Circles.empty());
}

TEST(ReadFile, LongTextKeptWhole) {
  const TJwwData d = ReadFixture("long_text.txt");
  ASSERT_EQ(d.Texts.size(), 1u);
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += "\x92\xB7\x82\xA2\x95\xB6\x8E\x9A\x97\xF1";  // 長い文字列
  EXPECT_EQ(d.Texts[0].text, expected);
  EXPECT_EQ(d.Lines.size(), 1u);
}

TEST(ReadFile, MissingFileLeavesStoreUnchanged) {
  TempDir dir;
  TJwwData d;
  JwwDataInit(d);
  d.Hk = 7.0;
  EXPECT_FALSE(JwwReadFile(d, dir / "JWC_TEMP.TXT"));
  EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::Missing);
  EXPECT_EQ(d.Hk, 7.0);
  EXPECT_EQ(EntityCount(d), 0);
}

// The state one read leaves (layer, colour, an open polyline, a dimension
// waiting for its text) is not carried into the next read of the same store.
TEST(ReadBytes, EachReadStartsFromTheDefaultState) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, "lg5\nly7\nlc3\npl\n0 0 1 1\nmsg\n");
  JwwReadBytes(d, "0 0 2 2\n");
  ASSERT_EQ(d.Lines.size(), 2u);
  const TJwwEntLine& second = d.Lines[1];
  EXPECT_EQ(second.lg, 0);
  EXPECT_EQ(second.ly, 0);
  EXPECT_EQ(second.lc, 1);
  EXPECT_EQ(second.pl, 0);
  EXPECT_TRUE(d.Dims.empty());
}

// A folder exists but cannot be read as a file.
TEST(ReadFile, FolderAtThePathFails) {
  TempDir dir;
  TJwwData d;
  JwwDataInit(d);
  EXPECT_FALSE(JwwReadFile(d, dir.path()));
  EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::Failed);
}

// Lines cut by the reader's block boundaries, and one line far longer than a
// block, read as they do from memory.
// The same bytes read from a file (in blocks, and on two threads when they
// are large) and from memory.
void ReadFromFileAndMemory(const std::string& bytes, TJwwData& fromFile, TJwwData& fromMemory) {
  TempDir dir;
  WriteFileBytes(dir / "JWC_TEMP.TXT", bytes);
  JwwDataInit(fromFile);
  ASSERT_TRUE(JwwReadFile(fromFile, dir / "JWC_TEMP.TXT"));
  JwwDataInit(fromMemory);
  JwwReadBytes(fromMemory, bytes);
  EXPECT_EQ(fromMemory.ReadOutcome, TJwwReadOutcome::Complete);
}

TEST(ReadFile, BlockBoundariesAndLongLinesMatchReadingFromMemory) {
  std::string bytes;
  for (int i = 0; bytes.size() < 2'500'000; ++i) {
    bytes += "lc" + std::to_string(i % 9) + "\r\n";
    bytes += std::to_string(i) + " 0.5 " + std::to_string(i * 3) + " -1.25\r\n";
  }
  bytes += "ch 1 2 3 4 \"" + std::string(3'000'000, 'x') + "\r\n";
  bytes += "ci 0 0 5\r\n";
  TJwwData fromFile;
  TJwwData fromMemory;
  ReadFromFileAndMemory(bytes, fromFile, fromMemory);

  ASSERT_EQ(fromFile.Lines.size(), fromMemory.Lines.size());
  for (std::size_t i = 0; i < fromFile.Lines.size(); ++i) {
    ASSERT_EQ(fromFile.Lines[i].x1, static_cast<double>(i)) << i;
    ASSERT_EQ(fromFile.Lines[i].x2, fromMemory.Lines[i].x2) << i;
    ASSERT_EQ(fromFile.Lines[i].lc, static_cast<int32_t>(i % 9)) << i;
  }
  ASSERT_EQ(fromFile.Texts.size(), 1u);
  EXPECT_EQ(fromFile.Texts[0].text.size(), 3'000'000u);
  EXPECT_EQ(fromFile.Circles.size(), 1u);
}

// Input that is no exchange file at all still reads to its end.
TEST(ReadBytes, GarbageReadsWithoutHarm) {
  std::string garbage;
  unsigned state = 12345;
  for (int i = 0; i < 200'000; ++i) {
    state = state * 1103515245u + 12345u;
    garbage += static_cast<char>(state >> 16);
  }
  const std::vector<std::string> inputs = {
      garbage,
      std::string(10'000, '\0'),
      "ch 0 0 1 0 \"unterminated text \x82",
      std::string(100'000, ' ') + "\n" + std::string(50'000, '"'),
      "0 0 1e999 -1e-999\n2147483648 $FFFFFFFFF 1 1",
  };
  for (const std::string& in : inputs) {
    TJwwData d;
    JwwDataInit(d);
    JwwReadBytes(d, in);
    EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::Complete);
    for (const TJwwEntAttr& a : d.Lines) {
      EXPECT_TRUE(a.lg >= 0 && a.lg <= 15 && a.ly >= 0 && a.ly <= 15);
    }
  }
}

TEST(ReadBytes, OutOfRangeNumbersReadAsZero) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, "0 0 1e999 -1e-999\n");
  ASSERT_EQ(d.Lines.size(), 1u);
  EXPECT_EQ(d.Lines[0].x2, 0.0);
  EXPECT_EQ(d.Lines[0].y2, 0.0);
}

}  // namespace

// The bundled sample drawing, read as the tool reads it beside the host.
TEST(SampleDrawing, ReadsEveryEntityWithItsState) {
  TJwwData d;
  JwwDataInit(d);
  ASSERT_TRUE(JwwReadFile(d, std::filesystem::path(T905_SOURCE_DIR) / "examples" / "JWC_TEMP.TXT"));
  const std::vector<std::pair<int32_t, int32_t>> counts = {
      {kKindLine, 14}, {kKindCircle, 2}, {kKindArc, 2},    {kKindText, 4},   {kKindPoint, 2},
      {kKindPointEx, 1}, {kKindDim, 3},  {kKindBlock, 1},  {kKindSolid2, 1}, {kKindSolid3, 2},
      {kKindSolid4, 1}, {kKindSc, 1},    {kKindSe, 0},     {kKindSo, 1},     {kKindSg, 0}};
  for (const auto& [kind, n] : counts) EXPECT_EQ(JwwKindCount(d, kind), n) << kind;
  EXPECT_EQ(d.Order.size(), 35u);

  EXPECT_EQ(d.FilePath, "C:\\jww\\\x90\x7D\x96\xCA\\\x95\xBD\x96\xCA\x90\x7D 1F.jww");  // C:\jww\図面\平面図 1F.jww
  EXPECT_EQ(d.Hzs[0], 420.0);
  EXPECT_EQ(d.TextTypes[2].colour, 2);
  EXPECT_EQ(d.LgNames[1], "\x90\xA1\x96\x40");  // 寸法
  EXPECT_EQ(d.first.FirstLw, 13);
  EXPECT_TRUE(d.LwSeen);

  EXPECT_EQ(d.Lines[4].pl, 1);   // the wall outline
  EXPECT_EQ(d.Lines[7].pl, 1);
  EXPECT_EQ(d.Lines[8].z, 1);
  EXPECT_EQ(d.Lines[9].z, 0);
  EXPECT_EQ(d.Lines[11].z, 18);
  EXPECT_EQ(d.Lines[11].hhp, 3);
  EXPECT_EQ(d.Lines[13].pl, 2);
  EXPECT_EQ(d.Lines[13].lw, 50);

  EXPECT_EQ(d.Dims[0].line.x2, 10000.0);
  EXPECT_EQ(d.Dims[0].text.text, "10,000");
  EXPECT_EQ(d.Dims[0].text.lc, 2);
  EXPECT_EQ(d.Texts[0].font, "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");  // ＭＳ 明朝
  EXPECT_EQ(d.Texts[1].cc, 4);
  EXPECT_EQ(d.Texts[2].lc, 3);
  EXPECT_EQ(d.Solids4[0].lc10, 16744576);
  EXPECT_EQ(d.Solids3[0].y3, 1800.0);
  EXPECT_EQ(d.Scs[0].lc, 10);
  EXPECT_EQ(d.Sos[0].lc10, 65280);
  EXPECT_EQ(d.PointsEx[0].lc, 5);
  EXPECT_EQ(d.Hp[2].kind, 2);
}

// --- Framing lines in a block -------------------------------------------

namespace {

// A line as framing should give it, found the plain way: up to the first LF,
// every CR dropped, bytes moved when a CR stood before the last byte.
struct TRefLine {
  std::string bytes;
  bool moved = false;
  std::size_t next = 0;
};

bool ReferenceNextLine(const std::string& buf, std::size_t begin, TRefLine& out) {
  const std::size_t lf = buf.find('\n', begin);
  if (lf == std::string::npos) return false;
  const std::string line = buf.substr(begin, lf - begin);
  const std::size_t cr = line.find('\r');
  out.moved = cr != std::string::npos && cr + 1 != line.size();
  out.bytes.clear();
  for (const char c : line) {
    if (c != '\r') out.bytes += c;
  }
  out.next = lf + 1;
  return true;
}

// Frames every line of `buf` both ways; the first difference fails.
void ExpectFramedAsReference(const std::string& buf) {
  std::string bytes = buf;
  std::size_t begin = 0;
  for (;;) {
    TRefLine want;
    TJwwFramedLine got;
    const bool wantLine = ReferenceNextLine(buf, begin, want);
    const bool gotLine = JwwNextLine(bytes.data(), begin, bytes.size(), got);
    ASSERT_EQ(gotLine, wantLine) << testing::PrintToString(buf) << " from " << begin;
    if (!gotLine) return;
    ASSERT_EQ(std::string(got.data, got.size), want.bytes) << testing::PrintToString(buf) << " from " << begin;
    ASSERT_EQ(got.data, bytes.data() + begin);
    ASSERT_EQ(got.moved, want.moved) << testing::PrintToString(buf) << " from " << begin;
    ASSERT_EQ(got.next, want.next) << testing::PrintToString(buf) << " from " << begin;
    begin = got.next;
  }
}

struct FramingCase {
  const char* name;
  std::string buf;
};

class FrameLines : public testing::TestWithParam<FramingCase> {};

TEST_P(FrameLines, MatchFindingEachLf) { ExpectFramedAsReference(GetParam().buf); }

// CRs before, after and away from the LF, at the edges of eight-byte steps.
INSTANTIATE_TEST_SUITE_P(
    Blocks, FrameLines,
    testing::Values(FramingCase{"Empty", ""}, FramingCase{"NoLineEnd", "ci 0 0 5"},
                    FramingCase{"LfOnly", "a\nbc\n\n"}, FramingCase{"CrLf", "hq\r\nci 0 0 5\r\n\r\n"},
                    FramingCase{"CrLast", "lc1\r"}, FramingCase{"CrLfThenCrLast", "lc1\r\nlc2\r"},
                    FramingCase{"TwoCrsBeforeLf", "ab\r\r\ncd\r\n"}, FramingCase{"CrMidLine", "a\rb\r\n"},
                    FramingCase{"CrMidLineThenLfOnly", "a\rb\nc\n"}, FramingCase{"CrsOnly", "a\rb\rc"},
                    FramingCase{"CrFirst", "\rab\r\n"}, FramingCase{"LfAtSeven", "1234567\n89\n"},
                    FramingCase{"LfAtEight", "12345678\n9\n"}, FramingCase{"CrLfAcrossEight", "1234567\r\n9\r\n"},
                    FramingCase{"CrAtFifteenLfAtSixteen", "123456789012345\r\n"},
                    FramingCase{"StrayCrPastEight", "1234567890\r12\r\n"},
                    FramingCase{"LongLine", std::string(100, 'x') + "\r\n" + std::string(33, 'y') + "\n"}),
    [](const testing::TestParamInfo<FramingCase>& p) { return std::string(p.param.name); });

// Random blocks of mostly ordinary bytes with CRs and LFs anywhere.
TEST(FrameLines, RandomBlocksMatchFindingEachLf) {
  const std::string alphabet = "ab 01.\r\n\r\n\x1A\x82";
  std::mt19937 rng(11);
  for (int n = 0; n < 100000 && !HasFatalFailure(); ++n) {
    std::string buf(rng() % 150, ' ');
    const unsigned rate = n % 2 == 0 ? 4 : 60;  // short lines, or lines past the 16- and 32-byte steps
    for (char& c : buf) c = rng() % rate == 0 ? alphabet[rng() % alphabet.size()] : static_cast<char>('c' + rng() % 20);
    ExpectFramedAsReference(buf);
  }
}

// Lines cut by the end of a block at every kind of place, CRs alone among
// them, read as they do from memory: the reader takes a cut line up again.
TEST(ReadFile, CutCrLfLinesMatchReadingFromMemory) {
  std::string bytes;
  for (int i = 0; bytes.size() < 2'200'000; ++i) {
    bytes += "lc" + std::to_string(i % 9) + "\r\n";
    bytes += i % 7 == 0 ? "ci 1\r2 3 4\r\n" : "ci " + std::to_string(i) + " 2 3\r\n";
  }
  TJwwData fromFile;
  TJwwData fromMemory;
  ReadFromFileAndMemory(bytes, fromFile, fromMemory);
  ASSERT_EQ(fromFile.Circles.size(), fromMemory.Circles.size());
  ASSERT_GT(fromFile.Circles.size(), 100'000u);
  for (std::size_t i = 0; i < fromFile.Circles.size(); ++i) {
    ASSERT_EQ(fromFile.Circles[i].x, fromMemory.Circles[i].x) << i;
    ASSERT_EQ(fromFile.Circles[i].r, fromMemory.Circles[i].r) << i;
    ASSERT_EQ(fromFile.Circles[i].lc, fromMemory.Circles[i].lc) << i;
  }
}

}  // namespace
