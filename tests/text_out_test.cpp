// The batch command's text output: Shift-JIS <-> UTF-8, the stream buffer that
// hands on whole characters and lines, and on Windows the choice between a
// console (UTF-16) and a redirected stream (bytes).
#include "app/text_out.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/text_codec.h"

#ifdef _WIN32
#include "app/win32/console_win32.h"
#endif

namespace {

TEST(TextCodec, ShiftJisAndUtf8RoundTrip) {
  const struct {
    const char* name;
    std::string sjis;
    std::string utf8;
  } rows[] = {
      {"ascii", "t905 0.25", "t905 0.25"},
      {"empty", "", ""},
      {"kanji", "\x8D\xD7\x90\xFC", "細線"},
      {"trail byte 0x5C, a backslash in ASCII", "\x95\x5C", "表"},
      {"half-width katakana", "\xB1\xB2", "ｱｲ"},
      {"circled digit of code page 932", "\x87\x40", "①"},
      {"wave dash of code page 932", "\x81\x60", "～"},
      {"mixed", "C:\\jww\\\x8E\xE8\x8F\x87.txt", "C:\\jww\\手順.txt"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(SjisToUtf8(r.sjis), r.utf8) << r.name;
    EXPECT_EQ(Utf8ToSjis(r.utf8), r.sjis) << r.name;
  }
}

// Text that is no character on one side still leaves the rest converted.
TEST(TextCodec, UnconvertibleTextKeepsTheRest) {
  const struct {
    const char* name;
    std::string in;
    bool fromSjis;
    std::string head;
    std::string tail;
  } rows[] = {
      {"lead byte at the end", "ab\x8D", true, "ab", ""},
      {"lead byte before ASCII", "a\x81\x20z", true, "a", "z"},
      {"character code page 932 lacks", "a\xF0\x9F\x98\x80z", false, "a", "z"},
      {"stray continuation byte", "a\x80z", false, "a", "z"},
  };
  for (const auto& r : rows) {
    const std::string out = r.fromSjis ? SjisToUtf8(r.in) : Utf8ToSjis(r.in);
    EXPECT_EQ(out.substr(0, r.head.size()), r.head) << r.name;
    EXPECT_GT(out.size(), r.head.size() + r.tail.size()) << r.name << ": a stand-in for what was lost";
    EXPECT_EQ(out.substr(out.size() - r.tail.size()), r.tail) << r.name;
  }
}

TEST(TextStream, WholeUtf8PrefixStopsBeforeACutCharacter) {
  const std::string kanji = "細";  // three bytes
  const struct {
    std::string text;
    std::size_t whole;
  } rows[] = {
      {"", 0},
      {"abc", 3},
      {"a" + kanji, 4},
      {"a" + kanji.substr(0, 1), 1},
      {"a" + kanji.substr(0, 2), 1},
      {"\xC3", 0},
      {"\xC3\xA9", 2},
      {"\xF0\x9F\x98", 0},
      {"\xF0\x9F\x98\x80", 4},
      {"a\x80", 2},  // a stray byte is no start of anything: handed on as it is
  };
  for (const auto& r : rows) EXPECT_EQ(WholeUtf8Prefix(r.text), r.whole) << r.text.size();
}

class RecordingSink : public ITextSink {
 public:
  void Write(std::string_view utf8) override { pieces.emplace_back(utf8); }
  std::vector<std::string> pieces;
};

TEST(TextStream, HandsOnWholeLinesAndWholeCharacters) {
  RecordingSink sink;
  {
    TTextOutBuf buf(sink);
    std::ostream out(&buf);
    const std::string kanji = "線";
    out << "one " << kanji.substr(0, 1);
    EXPECT_TRUE(sink.pieces.empty()) << "nothing before a line end";
    out.flush();
    ASSERT_EQ(sink.pieces.size(), 1u);
    EXPECT_EQ(sink.pieces[0], "one ") << "a flush keeps a cut character back";
    out << kanji.substr(1) << "\ntwo";
    ASSERT_EQ(sink.pieces.size(), 2u);
    EXPECT_EQ(sink.pieces[1], kanji + "\n");
    out << '\n' << "three";
  }
  const std::vector<std::string> expected = {"one ", "線\n", "two\n", "three"};
  EXPECT_EQ(sink.pieces, expected) << "the rest goes when the buffer ends";
}

TEST(TextStream, ByteSinkWritesTheChosenEncoding) {
  const struct {
    TTextEncoding encoding;
    std::string bytes;
  } rows[] = {
      {TTextEncoding::Utf8, "comment: 細線\n"},
      {TTextEncoding::Sjis, "comment: \x8D\xD7\x90\xFC\n"},
  };
  for (const auto& r : rows) {
    std::stringbuf target;
    TByteSink sink(target, r.encoding);
    sink.Write("comment: 細線\n");
    EXPECT_EQ(target.str(), r.bytes);
  }
}

#ifdef _WIN32
// A pipe is no console: the text goes to the stream's bytes, Shift-JIS unless UTF-8 is asked for.
TEST(ConsoleWin32, RedirectedStreamGetsBytes) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  const struct {
    bool utf8;
    std::string bytes;
  } rows[] = {{false, "\x8D\xD7\x90\xFC\n"}, {true, "細線\n"}};
  for (const auto& r : rows) {
    std::stringbuf bytes;
    const auto sink = MakeHandleSink(writeEnd, bytes, r.utf8);
    sink->Write("細線\n");
    EXPECT_EQ(bytes.str(), r.bytes) << r.utf8;
  }
  CloseHandle(readEnd);
  CloseHandle(writeEnd);
}

// A console gets UTF-16: what it then holds reads right whatever its code page.
// The text goes to a screen buffer of its own, so it can be read back from its cells.
TEST(ConsoleWin32, ConsoleGetsUtf16WhateverItsCodePage) {
  const auto newBuffer = [] {
    return CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     CONSOLE_TEXTMODE_BUFFER, nullptr);
  };
  HANDLE console = newBuffer();
  if (console == INVALID_HANDLE_VALUE) {
    // Run with pipes for output (as ctest runs it), the process has no console of its own yet.
    FreeConsole();
    if (AllocConsole()) console = newBuffer();
  }
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info)) {
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    GTEST_SKIP() << "no console with a screen buffer here (under Wine it needs a display)";
  }
  std::stringbuf bytes;
  const COORD origin{0, 0};
  for (const UINT codePage : {437u, 932u, 65001u}) {
    SetConsoleOutputCP(codePage);
    ASSERT_TRUE(SetConsoleCursorPosition(console, origin));
    const auto sink = MakeHandleSink(console, bytes, false);
    sink->Write("細線 ①");
    wchar_t cells[8] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(console, cells, 4, origin, &read));
    EXPECT_EQ(std::wstring(cells, read), L"細線 ①") << "code page " << codePage;
  }
  EXPECT_EQ(bytes.str(), "") << "nothing goes to the byte stream";
  CloseHandle(console);
}
#endif

}  // namespace
