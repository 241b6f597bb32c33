// Blocks as spreadsheets exchange them: reading pasted text, placing it on the
// selection, and the text a copy gives.
#include "app/paste_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<int32_t>>;

struct ParseCase {
  const char* name;
  std::string text;
  Rows rows;
};

class PasteBlockParse : public testing::TestWithParam<ParseCase> {};

TEST_P(PasteBlockParse, ReadsTheBlockAPersonMeant) {
  TPasteBlock block;
  TPasteError error;
  ASSERT_TRUE(ParsePasteBlock(GetParam().text, block, error)) << PasteErrorText(error);
  EXPECT_EQ(block.rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PasteBlockParse,
    testing::Values(
        ParseCase{"SpreadsheetCrLfWithTrailingLineEnd", "1\t2\r\n3\t4\r\n", {{1, 2}, {3, 4}}},
        ParseCase{"WithoutTrailingLineEnd", "1\t2\r\n3\t4", {{1, 2}, {3, 4}}},
        ParseCase{"LfOnlyAndExtraEmptyLines", "5\n6\n\n\r\n", {{5}, {6}}},
        ParseCase{"LoneCrRows", "7\r8", {{7}, {8}}},
        ParseCase{"BlanksTrimmedAndEmptyCellIsMinusOne", " 12 \t\t\x81\x40" "30\x81\x40\r\n", {{12, -1, 30}}},
        ParseCase{"RowOfBlankCellsKept", "1\t2\r\n\t\r\n", {{1, 2}, {-1, -1}}},
        ParseCase{"FullWidthDigitsAndSigns", "\x82\x50\x82\x4F\t\x81\x7C\x82\x50\t\x81\x7B\x82\x54", {{10, -1, 5}}},
        ParseCase{"ZeroDecimalsAndThousandsAreWhole", "25.00\t1,000\t30,000\t-0", {{25, 1000, 30000, 0}}},
        ParseCase{"ShortRowsPaddedWithMinusOne", "1\t2\t3\r\n4\r\n", {{1, 2, 3}, {4, -1, -1}}},
        ParseCase{"LimitsKept", "-1\t0\t30000", {{-1, 0, 30000}}},
        ParseCase{"QuotedCellsAndBlanksInQuotes", "\"10\"\t\" 20 \"\r\n\"3\"\t-1", {{10, 20}, {3, -1}}}),
    [](const testing::TestParamInfo<ParseCase>& p) { return p.param.name; });

struct FaultCase {
  const char* name;
  std::string text;
  TPasteFault fault;
  int row, col;
  std::string shown;
};

// "x" and full-width characters after it.
std::string LongCell(int characters) {
  std::string text = "x";
  for (int i = 0; i < characters; ++i) text += "\x82\xA0";  // あ
  return text;
}

class PasteBlockFault : public testing::TestWithParam<FaultCase> {};

TEST_P(PasteBlockFault, RefusesTheWholeBlockNamingTheFirstBadCell) {
  TPasteBlock block;
  TPasteError error;
  EXPECT_FALSE(ParsePasteBlock(GetParam().text, block, error));
  EXPECT_EQ(error.fault, GetParam().fault);
  EXPECT_EQ(error.row, GetParam().row);
  EXPECT_EQ(error.col, GetParam().col);
  EXPECT_EQ(error.text, GetParam().shown);
  EXPECT_TRUE(block.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cells, PasteBlockFault,
    testing::Values(
        FaultCase{"Word", "1\t2\r\n3\tabc\r\n", TPasteFault::NotInteger, 2, 2, "abc"},
        FaultCase{"Decimal", " 0.25 ", TPasteFault::Decimal, 1, 1, "0.25"},
        FaultCase{"AboveRange", "1\t30001", TPasteFault::OutOfRange, 1, 2, "30001"},
        FaultCase{"BelowMinusOne", "-5", TPasteFault::OutOfRange, 1, 1, "-5"},
        FaultCase{"HugeNumberIsOutOfRangeNotOverflow", "99999999999999999999", TPasteFault::OutOfRange, 1, 1,
                  "99999999999999999999"},
        FaultCase{"BadGrouping", "10,00", TPasteFault::NotInteger, 1, 1, "10,00"},
        FaultCase{"Hexadecimal", "$1F", TPasteFault::NotInteger, 1, 1, "$1F"},
        FaultCase{"FirstFaultRowByRow", "x\ty\r\nz", TPasteFault::NotInteger, 1, 1, "x"},
        FaultCase{"QuotedCellHoldsQuoteAndLineEnd", "1\t\"a\"\"b\r\nc\"\t2", TPasteFault::NotInteger, 1, 2,
                  "a\"b\r\nc"},
        FaultCase{"LongTextCutWholeCharacters", LongCell(20), TPasteFault::NotInteger, 1, 1, LongCell(15) + "..."},
        FaultCase{"NothingButLineEnds", "\r\n\r\n", TPasteFault::Nothing, 0, 0, ""},
        FaultCase{"Empty", "", TPasteFault::Nothing, 0, 0, ""}),
    [](const testing::TestParamInfo<FaultCase>& p) { return p.param.name; });

TEST(PasteBlockMessage, NamesRowColumnAndReasonInShiftJis) {
  TPasteError error{TPasteFault::NotInteger, 3, 2, "abc"};
  // 貼り付けできません。3行目2列目の「abc」は整数ではありません。
  EXPECT_EQ(PasteErrorText(error),
            "\x93\x5C\x82\xE8\x95\x74\x82\xAF\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42" "3\x8D\x73\x96\xDA"
            "2\x97\xF1\x96\xDA\x82\xCC\x81\x75" "abc\x81\x76\x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8"
            "\x82\xDC\x82\xB9\x82\xF1\x81\x42");
  error = {TPasteFault::Decimal, 1, 1, "0.25"};
  EXPECT_NE(PasteErrorText(error).find("1/100mm"), std::string::npos);
}

struct PlaceCase {
  const char* name;
  int selLeft, selTop, selRight, selBottom;
  Rows block;
  bool ok;
  TPasteTarget target;  // when ok
  int faultRow, faultCol;  // when not
};

class PasteBlockPlace : public testing::TestWithParam<PlaceCase> {};

TEST_P(PasteBlockPlace, FillsTilesOrPlacesAtTopLeft) {
  const PlaceCase& c = GetParam();
  TGridSelection sel;
  sel.SetRange(c.selLeft, c.selTop, c.selRight, c.selBottom);
  TPasteBlock block{c.block};
  TPasteTarget target;
  TPasteError error;
  ASSERT_EQ(PlacePasteBlock(block, sel, target, error), c.ok);
  if (c.ok) {
    EXPECT_EQ(std::vector<int>({target.left, target.top, target.right, target.bottom}),
              std::vector<int>({c.target.left, c.target.top, c.target.right, c.target.bottom}));
  } else {
    EXPECT_EQ(error.fault, TPasteFault::PastEdge);
    EXPECT_EQ(error.row, c.faultRow);
    EXPECT_EQ(error.col, c.faultCol);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Selections, PasteBlockPlace,
    testing::Values(
        PlaceCase{"SingleValueFillsRange", 2, 3, 5, 9, {{7}}, true, {2, 3, 5, 9}, 0, 0},
        PlaceCase{"BlockAtSingleCell", 4, 4, 4, 4, {{1, 2, 3}, {4, 5, 6}}, true, {4, 4, 6, 5}, 0, 0},
        PlaceCase{"WholeMultipleIsTiled", 1, 1, 6, 4, {{1, 2, 3}, {4, 5, 6}}, true, {1, 1, 6, 4}, 0, 0},
        PlaceCase{"NotAMultipleGoesToTopLeft", 1, 1, 5, 4, {{1, 2, 3}, {4, 5, 6}}, true, {1, 1, 3, 2}, 0, 0},
        PlaceCase{"WholeTableOverWholeTable", 1, 1, 16, 16, Rows(16, std::vector<int32_t>(16, 1)), true,
                  {1, 1, 16, 16}, 0, 0},
        PlaceCase{"PastBottomNamesFirstRowOff", 1, 15, 1, 15, {{1}, {2}, {3}}, false, {}, 3, 1},
        PlaceCase{"PastRightNamesFirstColumnOff", 16, 1, 16, 1, {{1, 2}}, false, {}, 1, 2},
        PlaceCase{"PastBothCorner", 16, 16, 16, 16, {{1, 2}, {3, 4}}, false, {}, 2, 2}),
    [](const testing::TestParamInfo<PlaceCase>& p) { return p.param.name; });

TEST(PasteBlockTile, ValuesRepeatAcrossTheRange) {
  TPasteBlock block{{{1, 2}, {3, 4}}};
  const TPasteTarget target{3, 5, 6, 8};
  EXPECT_EQ(target.ValueAt(block, 3, 5), 1);
  EXPECT_EQ(target.ValueAt(block, 6, 5), 2);
  EXPECT_EQ(target.ValueAt(block, 5, 8), 3);
  EXPECT_EQ(target.ValueAt(block, 6, 8), 4);
}

TEST(PasteBlockCopy, RangeTextRoundTripsThroughPaste) {
  TGridWidths widths;
  for (int i = 0; i < 256; ++i) widths[static_cast<std::size_t>(i)] = i == 17 ? -1 : i * 100;
  const std::string text = CopyBlockText(widths, 1, 2, 3, 3);
  EXPECT_EQ(text, "1600\t-1\t1800\r\n3200\t3300\t3400\r\n");
  TPasteBlock block;
  TPasteError error;
  ASSERT_TRUE(ParsePasteBlock(text, block, error));
  EXPECT_EQ(block.rows, (Rows{{1600, -1, 1800}, {3200, 3300, 3400}}));
}

}  // namespace
