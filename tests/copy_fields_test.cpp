// Finding the fields to copy in a line read again: the fields named, made of
// number bytes only, ended by a blank, tab, CR or LF (never by the end of the
// bytes, as the field may go on past the window). Bytes of every kind are
// tried at every position of runs longer than the eight read at once.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "exchange/source/source_file.h"

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
    const bool fits = i - start <= TJwwCopyFields::kMaxField;
    if ((wanted >> index & 1u) != 0 && number && fits) out[index] = line.substr(start, i - start);
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
        CopyCase{"ColonAndComma", "123456789012345: 1,5 7\n", 0x07, {"", "", "7"}},
        // Longer than any final-form text: the file changed since it was read.
        CopyCase{"LongestCopied", std::string(40, '1') + " 2\n", 0x03, {std::string(40, '1'), "2"}},
        CopyCase{"TooLongToCopy", std::string(41, '1') + " 2\n", 0x03, {"", "2"}}),
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
  std::string out(c.size, '?');
  EXPECT_EQ(JwwCopyLine(c.bytes, c.size, out.data()), c.copied);
  if (c.copied) {
    EXPECT_EQ(out, c.bytes.substr(0, c.size));
  }
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

// Every length up to five words and every position in it, so that each byte
// is judged (and copied) in a whole word or vector of sixteen, in the
// overlapping last one or in a short line: one byte of each kind that is not number text or a blank
// makes the line fail, a digit, ".", "-" or blank there keeps it.
TEST(CopyLineEveryPosition, OneByteDecides) {
  const std::string bad = std::string("\x1F!,/:\x7F\x80\xA0\xAD\xB0\xB9\xFF\t\rE+", 16) + '\0';
  const std::string good = "0.-9 ";
  for (std::size_t size = 1; size <= 40; ++size) {
    for (std::size_t at = 0; at < size; ++at) {
      for (char c : bad) {
        std::string bytes(size, '7');
        bytes[at] = c;
        std::string out(size, '?');
        EXPECT_FALSE(JwwCopyLine(bytes + "\r", size, out.data())) << size << " " << at << " " << int(c);
      }
      for (char c : good) {
        std::string bytes(size, '7');
        bytes[at] = c;
        std::string out(size, '?');
        EXPECT_TRUE(JwwCopyLine(bytes + "\n", size, out.data())) << size << " " << at << " " << int(c);
        EXPECT_EQ(out, bytes);
      }
    }
  }
}

// Every byte value at every position of lines that are judged sixteen bytes
// at a time (and of a short one): only "-", ".", digits and blanks pass.
TEST(CopyLineEveryPosition, EveryByteValue) {
  const auto allowed = [](unsigned char b) { return b == ' ' || b == '-' || b == '.' || (b >= '0' && b <= '9'); };
  for (std::size_t size : {7u, 16u, 17u, 31u, 33u, 54u}) {
    for (std::size_t at = 0; at < size; ++at) {
      for (int value = 0; value < 256; ++value) {
        std::string bytes(size, '4');
        bytes[at] = static_cast<char>(value);
        std::string out(size, '?');
        const bool copied = JwwCopyLine(bytes + "\n", size, out.data());
        ASSERT_EQ(copied, allowed(static_cast<unsigned char>(value))) << size << " " << at << " " << value;
        if (copied) {
          ASSERT_EQ(out, bytes);
        }
      }
    }
  }
}

// The run rule written out byte by byte: a keyword of 1..7 bytes ended by a
// blank, then fields 1..last of number bytes each after a single blank, the
// last ended by a blank, CR or LF; kMaxRun bytes at most.
std::string ExpectedRun(const std::string& line, std::size_t last) {
  const std::size_t keyword = line.find(' ');
  if (keyword == 0 || keyword == std::string::npos || keyword >= 8) return "";
  std::size_t i = keyword;
  for (std::size_t field = 1; field <= last; ++field) {
    if (i >= line.size() || line[i] != ' ') return "";
    const std::size_t start = ++i;
    while (i < line.size() && std::string("0123456789.-").find(line[i]) != std::string::npos) ++i;
    if (i == start) return "";
  }
  if (i >= line.size() || std::string(" \r\n").find(line[i]) == std::string::npos) return "";
  return i <= TJwwCopyFields::kMaxRun ? line.substr(0, i) : "";
}

std::string FoundRun(const std::string& line, std::size_t last) {
  TJwwCopyFields found;
  found.mask = 1;
  const bool ok = JwwFindCopyRun(line, last, found);
  EXPECT_EQ(ok, !found.run.empty());
  EXPECT_EQ(found.mask, 0);
  return std::string(found.run);
}

struct RunCase {
  const char* name;
  std::string line;
  std::size_t last;
  std::string run;
};

class CopyRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(CopyRunTest, CopiesTheLineUpToTheLastField) {
  const RunCase& c = GetParam();
  EXPECT_EQ(FoundRun(c.line, c.last), c.run);
  EXPECT_EQ(ExpectedRun(c.line, c.last), c.run);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CopyRunTest,
    testing::Values(
        RunCase{"Arc", "ci -5440.10506743192 8806 8027.12644628981 300 96.0517691388993 1 0\r\n", 7,
                "ci -5440.10506743192 8806 8027.12644628981 300 96.0517691388993 1 0"},
        RunCase{"EndsAtABlank", "ch 1906.5 6593 1 0 \"1 S=1/100\r\n", 4, "ch 1906.5 6593 1 0"},
        RunCase{"EndsAtLf", "pt 1 2\n", 2, "pt 1 2"}, RunCase{"FewerFields", "pt 1 2\r\n", 3, ""},
        RunCase{"RunsToTheEnd", "pt 1 2", 2, ""}, RunCase{"TwoBlanks", "ci 1  2 3\r", 3, ""},
        RunCase{"TwoBlanksAfterKeyword", "ci  1 2 3\r", 3, ""}, RunCase{"BlankBeforeCr", "pt 1 2 \r", 3, ""},
        RunCase{"TabBetween", "ci 1\t2 3\r", 3, ""}, RunCase{"LeadingBlank", " ci 1 2 3\r", 3, ""},
        RunCase{"ExponentInRun", "ci 1 2E-14 3\r", 3, ""}, RunCase{"ExponentAfterRun", "ci 1 2 3 4E-14\r", 3, "ci 1 2 3"},
        RunCase{"KeywordTooLong", "keyword12 1\r", 1, ""}, RunCase{"HighByteInField", "ci 12345678\xB0 2 3\r", 3, ""},
        RunCase{"LongestRun", "c " + std::string(252, '7') + "\r", 1, "c " + std::string(252, '7')},
        RunCase{"TooLongARun", "c " + std::string(254, '7') + "\r", 1, ""}),
    [](const testing::TestParamInfo<RunCase>& p) { return std::string(p.param.name); });

// Random keyword lines: the run agrees with the rule, and wherever a writer's
// keyword takes it, it is exactly that keyword and the fields the general
// search finds joined by single blanks, which is what the writer writes.
TEST(CopyRunRandom, AgreesWithTheRuleAndTheGeneralSearch) {
  std::mt19937_64 rng(2209);
  // The writer's keywords, then look-alikes it must not take.
  const std::string keywords[] = {"ci", "pt", "sc", "c\ti", "c\ri", "", " ci", "keyword1"};
  const std::string odd = std::string("  \t\r\nE+/:,\x80\xB0\xFF", 14) + '\0';
  for (int n = 0; n < 100000; ++n) {
    const std::size_t k = rng() % 8;
    std::string line = keywords[k];
    const std::size_t fields = rng() % 10;
    for (std::size_t f = 0; f < fields; ++f) {
      line += rng() % 20 == 0 ? odd[rng() % odd.size()] : ' ';
      const std::size_t len = rng() % 30 == 0 ? 30 + rng() % 60 : 1 + rng() % 18;
      for (std::size_t i = 0; i < len; ++i) {
        line.push_back(rng() % 40 == 0 ? odd[rng() % odd.size()] : "0123456789.-"[rng() % 12]);
      }
    }
    if (rng() % 4 != 0) line += std::string(" \r\n\"").substr(rng() % 4, 1);
    const std::size_t last = 1 + rng() % 9;
    TJwwCopyFields found;
    const bool ok = JwwFindCopyRun(line, last, found);
    ASSERT_EQ(std::string(found.run), ExpectedRun(line, last)) << "[" << line << "] " << last;
    ASSERT_EQ(ok, !found.run.empty());
    const std::string_view taken = found.Run(keywords[k % 3], last);
    if (k >= 3) {
      ASSERT_TRUE(taken.empty()) << "[" << line << "] " << last;
      continue;
    }
    if (taken.empty()) continue;
    const std::vector<std::string> each = Expected(line, static_cast<std::uint16_t>((2u << last) - 2u));
    std::string joined = keywords[k];
    bool copiedEach = true;
    for (std::size_t f = 1; f <= last; ++f) {
      copiedEach = copiedEach && !each[f].empty();
      joined += " " + each[f];
    }
    if (copiedEach) {
      ASSERT_EQ(taken, joined) << "[" << line << "] " << last;
    }
    ASSERT_TRUE(found.Run(keywords[k], last + 1).empty());
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
    std::string out(size, '?');
    ASSERT_EQ(JwwCopyLine(bytes, size, out.data()), want) << "[" << bytes << "] " << size;
    if (want) {
      ASSERT_EQ(out, bytes.substr(0, size));
    }
  }
}

}  // namespace
