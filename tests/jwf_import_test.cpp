// Reading layer widths from the host's environment file into the grid's cells.
#include "app/jwf_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/files.h"

namespace {

TGridTexts Filled(const std::string& text) {
  TGridTexts cells;
  for (auto& row : cells) row.fill(text);
  return cells;
}

std::vector<std::string> Row(const TGridTexts& cells, int g) {
  const auto& r = cells[static_cast<std::size_t>(g)];
  return {r.begin(), r.end()};
}

// Sixteen cells: the given ones, then "-1".
std::vector<std::string> Expect(std::vector<std::string> first) {
  first.resize(16, "-1");
  return first;
}

TGridTexts ImportText(std::string_view bytes, bool* ok = nullptr) {
  TempDir dir;
  const auto path = dir / "jw.jwf";
  WriteFileBytes(path, bytes);
  TGridTexts cells = Filled("x");
  const bool result = ImportJwf(path, cells);
  if (ok != nullptr) *ok = result;
  return cells;
}

TEST(ImportJwf, OneLineFillsTheRowOfItsGroup) {
  const struct {
    const char* name;
    std::string line;
    int group;
    std::vector<std::string> want;
  } rows[] = {
      {"blanks around =", "LAYWID_3 = 25 35 -1 -2 50", 3, Expect({"25", "35", "-1", "-1", "50"})},
      {"lower case", "laywid_3 = 25 35 -1 -2 50", 3, Expect({"25", "35", "-1", "-1", "50"})},
      {"blanks and tab before the key", "  \t LAYWID_3 = 25 35", 3, Expect({"25", "35"})},
      {"comma separated", "LAYWID_A=100,200", 10, Expect({"100", "200"})},
      {"lower-case group digit", "LAYWID_b=1", 11, Expect({"1"})},
      {"commas and blanks mixed", "LAYWID_2 = 1 , 2,3  4", 2, Expect({"1", "2", "3", "4"})},
      {"group byte not hex", "LAYWID_Z = 8", 0, Expect({"8"})},
      {"group byte is the =", "LAYWID_=8 9", 0, Expect({"8", "9"})},
      {"above the range stays as text", "LAYWID_1 = 30001 -30001", 1, Expect({"30001", "-1"})},
      {"not integers read as 0", "LAYWID_4 = 1.5,abc,,7", 4, Expect({"0", "0", "0", "7"})},
      {"trailing comma", "LAYWID_4 = 1,", 4, Expect({"1", "0"})},
      {"text after the group digit", "LAYWID_6XYZ = 3", 6, Expect({"3"})},
      {"nothing after =", "LAYWID_7 =", 7, Expect({})},
      {"CR before LF", "LAYWID_8 = 11 12\r", 8, Expect({"11", "12"})},
      {"more than 16 values",
       "LAYWID_9 = 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18",
       9,
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"}},
  };
  for (const auto& r : rows) {
    bool ok = false;
    const TGridTexts cells = ImportText(r.line + "\n", &ok);
    EXPECT_TRUE(ok) << r.name;
    for (int g = 0; g < 16; ++g) {
      if (g == r.group) {
        EXPECT_EQ(Row(cells, g), r.want) << r.name;
      } else {
        EXPECT_EQ(Row(cells, g), std::vector<std::string>(16, "x")) << r.name << ", row " << g;
      }
    }
  }
}

TEST(ImportJwf, LinesThatAreNotLayerWidthsChangeNothing) {
  const std::string rows[] = {
      "LAYWID_3",                 // no "="
      "LAYWID_3 25 35",           // no "="
      "XLAYWID_3 = 1",            // the key does not start the line
      "LAYCOL_3 = 1",             // another key
      "\x81\x40LAYWID_3 = 1",     // a full-width space is not trimmed
      "LAYWID",                   // the prefix cut short
      "\x90\xFC\x95\x9D = 1 2",   // a Japanese key (line width)
      "",
  };
  for (const auto& line : rows) {
    const TGridTexts cells = ImportText(line + "\r\n");
    for (int g = 0; g < 16; ++g) EXPECT_EQ(Row(cells, g), std::vector<std::string>(16, "x")) << line;
  }
}

TEST(ImportJwf, WholeFileAppliesEveryLineAndTheLastOneWins) {
  TGridTexts cells = Filled("-1");
  cells[12][0] = "400";  // a row without a line keeps its cells
  ASSERT_TRUE(ImportJwf(TestDataPath("jwf/sample.jwf"), cells));
  EXPECT_EQ(Row(cells, 0), (std::vector<std::string>{"13", "13", "13", "13", "25", "25", "25", "25", "50", "50",
                                                       "50", "50", "-1", "-1", "-1", "-1"}));
  EXPECT_EQ(Row(cells, 1), Expect({"25", "25", "25", "25", "25", "-1", "-1", "0", "30001"}));
  EXPECT_EQ(Row(cells, 2), Expect({"100", "200", "300"}));
  EXPECT_EQ(Row(cells, 3), Expect({}));
  EXPECT_EQ(Row(cells, 4), Expect({}));  // the key stands after other text
  EXPECT_EQ(Row(cells, 5), Expect({"55", "56"}));
  EXPECT_EQ(Row(cells, 12), Expect({"400"}));
  EXPECT_EQ(Row(cells, 15), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11",
                                                        "12", "13", "14", "15", "16"}));
}

TEST(ImportJwf, LongLineStaysWithinTheWorkList) {
  std::string line = "LAYWID_C =";
  for (int i = 0; i < 5000; ++i) line += " " + std::to_string(i % 40);
  const TGridTexts cells = ImportText(line);  // no line end at all
  EXPECT_EQ(Row(cells, 12)[0], "0");
  EXPECT_EQ(Row(cells, 12)[15], "15");
}

TEST(ImportJwf, MissingFileOrDirectoryChangesNothingAndFails) {
  TempDir dir;
  TGridTexts cells = Filled("x");
  EXPECT_FALSE(ImportJwf(dir / "none.jwf", cells));
  std::filesystem::create_directory(dir / "folder.jwf");
  EXPECT_FALSE(ImportJwf(dir / "folder.jwf", cells));
  for (int g = 0; g < 16; ++g) EXPECT_EQ(Row(cells, g), std::vector<std::string>(16, "x"));
}

TEST(ImportJwf, ExtensionIsTakenFromTheLastDotInAnyCase) {
  const struct {
    const char* name;
    bool jwf;
  } cases[] = {
      {"Jw_win.jwf", true}, {"JW_WIN.JWF", true}, {"a.Jwf", true}, {".jwf", true},
      {"a.jwf.bak", false}, {"a.jw", false},     {"jwf", false},   {"a.jwfx", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasJwfExtension(std::filesystem::path("dir") / c.name), c.jwf) << c.name;
}

}  // namespace
