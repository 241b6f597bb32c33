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

struct CopyLineCase {
  const char* name;
  std::string bytes;  // read at the line's offset, up to its length and one more
  std::size_t size;   // the length the reader kept
  bool copied;
};

class CopyLineTest : public testing::TestWithParam<CopyLineCase> {};

TEST_P(CopyLineTest, CopiesOnlyTheLineAsItWasRead) {
  const CopyLineCase& c = GetParam();
  TJwwCopyFields found;
  found.mask = 1;
  EXPECT_EQ(JwwFindCopyLine(c.bytes, c.size, found), c.copied);
  EXPECT_EQ(found.line, c.copied ? c.bytes.substr(0, c.size) : std::string());
  EXPECT_EQ(found.mask, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CopyLineTest,
    testing::Values(CopyLineCase{"CrLf", "-9498 6946 -9498.44441417702 858.98628722091\r", 44, true},
                    CopyLineCase{"Lf", "1 2 3 4\n", 7, true}, CopyLineCase{"EndOfFile", "1 2 3 4", 7, true},
                    CopyLineCase{"FileNowShorter", "1 2 3", 7, false},
                    CopyLineCase{"LineNowLonger", "1 2 3 45\r", 7, false},
                    CopyLineCase{"CtrlZAfter", "1 2 3 4\x1A", 7, false},
                    CopyLineCase{"TabInside", "1 2\t3 4\n", 7, false},
                    CopyLineCase{"LetterInLongRun", "12345678901x 2 3 4\n", 18, false},
                    CopyLineCase{"Empty", "\n", 0, false},
                    // Each byte judged on its own, in runs of eight and after them.
                    CopyLineCase{"BlankBeforeMinus", "1 -2 -3 -4 -5 -6\n", 16, true},
                    CopyLineCase{"BangAfterBlank", "12345 !2 3\n", 10, false},
                    CopyLineCase{"SlashInRun", "1234/678 2\n", 10, false},
                    CopyLineCase{"ColonInTail", "12345678 1:\n", 11, false},
                    CopyLineCase{"HighByteInRun", "123\xB0" "5678 2\n", 10, false},
                    CopyLineCase{"CommaInRun", "1,345678 2\n", 10, false}),
    [](const testing::TestParamInfo<CopyLineCase>& p) { return std::string(p.param.name); });

// Every length up to three words and every position in it, so that each byte
// is judged in a whole word, in the overlapping last word or in a short line:
// one byte of each kind that is not number text or a blank makes the line
// fail, a digit, ".", "-" or blank there keeps it.
TEST(CopyLineEveryPosition, OneByteDecides) {
  const std::string bad = std::string("\x1F!,/:\x7F\x80\xA0\xAD\xB0\xB9\xFF\t\rE+", 16) + '\0';
  const std::string good = "0.-9 ";
  for (std::size_t size = 1; size <= 24; ++size) {
    for (std::size_t at = 0; at < size; ++at) {
      for (char c : bad) {
        std::string bytes(size, '7');
        bytes[at] = c;
        TJwwCopyFields found;
        EXPECT_FALSE(JwwFindCopyLine(bytes + "\r", size, found)) << size << " " << at << " " << int(c);
      }
      for (char c : good) {
        std::string bytes(size, '7');
        bytes[at] = c;
        const std::string read = bytes + "\n";
        TJwwCopyFields found;
        EXPECT_TRUE(JwwFindCopyLine(read, size, found)) << size << " " << at << " " << int(c);
        EXPECT_EQ(found.line, bytes);
      }
    }
  }
}

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

TEST(CopyLineRandom, AgreesWithTheRuleByteByByte) {
  std::mt19937_64 rng(4);
  // Blanks before and after the number bytes, their neighbours, and the same
  // with the high bit set.
  const std::string alphabet = std::string("0123456789.-  ,/:!\x80\xA0\xAD\xAE\xB0\x1F\r") + '\0';
  for (int n = 0; n < 100000; ++n) {
    std::string bytes;
    const std::size_t len = 1 + rng() % 100;
    for (std::size_t i = 0; i < len; ++i) {
      bytes.push_back(rng() % 16 == 0 ? alphabet[rng() % alphabet.size()] : static_cast<char>('0' + rng() % 10));
    }
    const std::size_t size = rng() % (len + 1);
    bool want = size > 0;
    for (std::size_t i = 0; i < size; ++i) {
      want = want && std::string("0123456789.- ").find(bytes[i]) != std::string::npos;
    }
    want = want && (size == len || bytes[size] == '\r' || bytes[size] == '\n');
    TJwwCopyFields found;
    ASSERT_EQ(JwwFindCopyLine(bytes, size, found), want) << "[" << bytes << "] " << size;
  }
}

}  // namespace
