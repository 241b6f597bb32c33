// A cell's text against what OK stores for it: which texts are shown as errors.
#include "app/cell_check.h"

#include <gtest/gtest.h>

#include <string>

#include "app/form_texts.h"

namespace {

TEST(CellCheck, ValidOnlyWhenTheTextIsTheWidthStored) {
  const struct {
    const char* text;
    bool valid, decimal;
    int32_t stored;
  } cases[] = {
      {"25", true, false, 25},       {"0", true, false, 0},         {"-1", true, false, -1},
      {"30000", true, false, 30000}, {" 7", true, false, 7},        {"$1F", true, false, 31},
      {"-0", true, false, 0},        {"abc", false, false, 0},      {"", false, false, 0},
      {"7 ", false, false, 0},       {"0.25", false, true, 0},      {"1.0", false, true, 0},
      {"99999", false, false, -1},   {"-5", false, false, -1},      {"30001", false, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("cell \"") + c.text + "\"");
    const TCellCheck check = CheckCellText(c.text);
    EXPECT_EQ(check.valid, c.valid);
    EXPECT_EQ(check.decimal, c.decimal);
    EXPECT_EQ(check.stored, c.stored);
  }
}

TEST(CellErrorHint, SaysWhatIsStoredAndForADecimalTheUnit) {
  EXPECT_EQ(CellErrorHint("25"), "");
  const std::string word = CellErrorHint("abc");
  EXPECT_EQ(word, "\x81\x75" "abc" + std::string(kCellNotWidth) + "0" + kCellStoredAs + "\r\n");
  EXPECT_EQ(CellErrorHint("0.25"), "\x81\x75" "0.25" + std::string(kCellNotWidth) + "0" + kCellStoredAs + "\r\n" +
                                       kCellUnitHint + "\r\n");
  EXPECT_NE(CellErrorHint("99999").find("-1"), std::string::npos);
}

TEST(CellErrors, CountsOnlyCellsThatAreNoWidth) {
  std::array<std::string, 256> cells;
  cells.fill("-1");
  EXPECT_EQ(CountCellErrors(cells), 0);
  cells[0] = "abc";
  cells[255] = "0.5";
  cells[17] = "100";
  EXPECT_EQ(CountCellErrors(cells), 2);
}

TEST(IdleSummaryGrouping, CountsCarryThousandsSeparators) {
  TLayerSummary s;
  s.layers[0].byKind[static_cast<std::size_t>(TSummaryKind::Lines)] = 1234567;
  s.total = 1234567;
  TGridWidths widths;
  widths.fill(-1);
  widths[0] = 25;
  const std::string text = IdleSummaryText(s, widths, TConvertKinds{});
  EXPECT_NE(text.find(" 1,234,567 "), std::string::npos) << text;
  EXPECT_EQ(text.find("1234567"), std::string::npos) << text;
}

}  // namespace
