// Finding the fields to copy in a line read again: the fields named, made of
// number bytes only, ended by a blank, tab, CR or LF (never by the end of the
// bytes, as the field may go on past the window). Bytes of every kind are
// tried at every position of runs longer than the eight read at once.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "exchange/source_file.h"

namespace {

// The rule written out byte by byte: field i of the blank- or tab-separated
// line, if it ends before the bytes do and holds only "0".."9", "." and "-".
std::vector<std::string> Expected(const std::string& line, std::uint16_t wanted) {
  std::vector<std::string> out(TJwwCopyFields::kMaxFields);
  std::size_t i = 0;
  for (std::size_t index = 0; index < TJwwCopyFields::kMaxFields && (wanted >> index) != 0; ++index) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size() || line[i] == '\r' || line[i] == '\n') break;
    const std::size_t start = i;
    bool number = true;
    while (i < line.size() && std::string(" \t\r\n").find(line[i]) == std::string::npos) {
      if (std::string("0123456789.-").find(line[i]) == std::string::npos) number = false;
      ++i;
    }
    if (i == line.size()) break;
    if ((wanted >> index & 1u) != 0 && number) out[index] = line.substr(start, i - start);
  }
  return out;
}

std::vector<std::string> Found(const std::string& line, std::uint16_t wanted) {
  TJwwCopyFields found;
  JwwFindCopyFields(line, wanted, found);
  std::vector<std::string> out(TJwwCopyFields::kMaxFields);
  for (std::size_t i = 0; i < TJwwCopyFields::kMaxFields; ++i) out[i] = std::string(found.Get(i));
  return out;
}

struct CopyCase {
  const char* name;
  std::string line;
  std::uint16_t wanted;
  std::vector<std::string> fields;  // the first four found
};

class CopyFieldsTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyFieldsTest, FindsTheNumberFields) {
  const CopyCase& c = GetParam();
  std::vector<std::string> want = c.fields;
  want.resize(TJwwCopyFields::kMaxFields);
  EXPECT_EQ(Found(c.line, c.wanted), want);
  EXPECT_EQ(Expected(c.line, c.wanted), want);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CopyFieldsTest,
    testing::Values(
        CopyCase{"Plain", "-9498 6946 -9498.44441417702 858.98628722091\r\n", 0x0F,
                 {"-9498", "6946", "-9498.44441417702", "858.98628722091"}},
        CopyCase{"OnlyWanted", "1 2 3 4\n", 0x0A, {"", "2", "", "4"}},
        CopyCase{"LastRunsToTheEnd", "1 2 3 4", 0x0F, {"1", "2", "3", ""}},
        CopyCase{"LongLastRunsToTheEnd", "1 2 3 123456789012345678", 0x0F, {"1", "2", "3", ""}},
        CopyCase{"ExponentNotCopied", "1 2.5E-14 3 4\n", 0x0F, {"1", "", "3", "4"}},
        CopyCase{"SlashInLongRun", "1234567/89012345 2\n", 0x03, {"", "2"}},
        CopyCase{"PlusInLongRun", "12345678901+2345 2\n", 0x03, {"", "2"}},
        CopyCase{"HighByteInLongRun", "123456789012\xB1" "345 2\n", 0x03, {"", "2"}},
        CopyCase{"TabsAndCr", "\t12345678901234\t-0.5\r", 0x03, {"12345678901234", "-0.5"}},
        CopyCase{"KeywordField", "ci 12345678.125 2 3\n", 0x0F, {"", "12345678.125", "2", "3"}},
        CopyCase{"ColonAndComma", "123456789012345: 1,5 7\n", 0x07, {"", "", "7"}}),
    [](const testing::TestParamInfo<CopyCase>& p) { return std::string(p.param.name); });

TEST(CopyFieldsRandom, AgreesWithTheRuleByteByByte) {
  std::mt19937_64 rng(1105);
  // Number bytes and their neighbours in the byte order, the field ends, and
  // bytes with the high bit set.
  const std::string alphabet = std::string("0123456789.-,/+:  \t\r\nE\x2C\x3A\x7F\x80\xB9\xBA\xFF") + '\0';
  for (int n = 0; n < 100000; ++n) {
    std::string line;
    const std::size_t len = rng() % 48;
    for (std::size_t i = 0; i < len; ++i) {
      line.push_back(rng() % 3 == 0 ? alphabet[rng() % alphabet.size()] : static_cast<char>('0' + rng() % 10));
    }
    const auto wanted = static_cast<std::uint16_t>(rng());
    ASSERT_EQ(Found(line, wanted), Expected(line, wanted)) << "[" << line << "] " << wanted;
  }
}

}  // namespace
