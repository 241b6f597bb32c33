// The batch command's one way out for text. Everything it prints is UTF-8
// inside; a sink chosen at the entry point re-encodes it for whoever reads:
// a Windows console gets UTF-16 (right whatever its code page), a redirected
// stream on Windows Shift-JIS like every file the tool touches (UTF-8 when
// asked), and other systems UTF-8.
#pragma once

#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

enum class TTextEncoding { Utf8, Sjis };

// Receives UTF-8 text in whole characters.
class ITextSink {
 public:
  virtual ~ITextSink() = default;
  virtual void Write(std::string_view utf8) = 0;
};

// Writes the text as bytes in `encoding` onto `target` (a file, a pipe) and
// flushes it, so that messages and the progress line appear when written.
class TByteSink : public ITextSink {
 public:
  TByteSink(std::streambuf& target, TTextEncoding encoding) : target_(target), encoding_(encoding) {}
  void Write(std::string_view utf8) override;

 private:
  std::streambuf& target_;
  TTextEncoding encoding_;
};

// A stream buffer that collects UTF-8 text and hands it to a sink at every
// line end, on flush and when destroyed, never cutting a character in two.
class TTextOutBuf : public std::streambuf {
 public:
  explicit TTextOutBuf(ITextSink& sink) : sink_(sink) {}
  ~TTextOutBuf() override;
  TTextOutBuf(const TTextOutBuf&) = delete;
  TTextOutBuf& operator=(const TTextOutBuf&) = delete;

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  // Hands on the pending text up to `end`, which the caller chose at a
  // character boundary.
  void Pass(std::size_t end);
  // Hands on whole lines, and more when much text waits without a line end.
  void PassLines();

  ITextSink& sink_;
  std::string pending_;
};

// The length of the longest prefix of `text` that ends on a UTF-8 character
// boundary: an incomplete sequence at the end is left out.
std::size_t WholeUtf8Prefix(std::string_view text);

// The standard streams of the process, as the platform sees them.
enum class TStdStream { Out, Err };

// True when the stream is a terminal (on Windows a console) a person reads.
bool IsTerminal(TStdStream which);

// The sink for a standard stream; `bytes` is where a stream that is no console
// writes its bytes (the C++ stream's own buffer). `utf8` asks for UTF-8 instead
// of Shift-JIS from a redirected stream on Windows; elsewhere text is UTF-8 anyway.
std::unique_ptr<ITextSink> MakeStdSink(TStdStream which, std::streambuf& bytes, bool utf8);
