// A cell's text against what OK stores for it: which texts are shown as errors.
#include "app/cell_check.h"

#include <gtest/gtest.h>

#include <string>

#include "app/form_texts.h"

namespace {

struct CheckCase {
  const char* text;
  bool valid;
  bool decimal;
  int32_t stored;
};

class CellCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(CellCheck, ValidOnlyWhenTheTextIsTheWidthStored) {
  const TCellCheck check = CheckCellText(GetParam().text);
  EXPECT_EQ(check.valid, GetParam().valid);
  EXPECT_EQ(check.decimal, GetParam().decimal);
  EXPECT_EQ(check.stored, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, CellCheck,
                         testing::Values(CheckCase{"25", true, false, 25}, CheckCase{"0", true, false, 0},
                                         CheckCase{"-1", true, false, -1}, CheckCase{"30000", true, false, 30000},
                                         CheckCase{" 7", true, false, 7}, CheckCase{"$1F", true, false, 31},
                                         CheckCase{"-0", true, false, 0}, CheckCase{"abc", false, false, 0},
                                         CheckCase{"", false, false, 0}, CheckCase{"7 ", false, false, 0},
                                         CheckCase{"0.25", false, true, 0}, CheckCase{"1.0", false, true, 0},
                                         CheckCase{"99999", false, false, -1}, CheckCase{"-5", false, false, -1},
                                         CheckCase{"30001", false, false, -1}));

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
