// Text on its way out: collected in whole characters and lines, re-encoded by
// the sink. The choice of sink for this system's standard streams is at the end.
#include "app/text_out.h"

#include "app/text_codec.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {
// Text that waits for a line end longer than this is handed on anyway.
constexpr std::size_t kPendingLimit = 64 * 1024;
}  // namespace

void TByteSink::Write(std::string_view utf8) {
  const std::string sjis = encoding_ == TTextEncoding::Sjis ? Utf8ToSjis(utf8) : std::string();
  const std::string_view bytes = encoding_ == TTextEncoding::Sjis ? std::string_view(sjis) : utf8;
  target_.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  target_.pubsync();
}

std::size_t WholeUtf8Prefix(std::string_view text) {
  // Look back over at most three continuation bytes for the start of the last character.
  std::size_t start = text.size();
  for (int back = 0; back < 4 && start > 0; ++back) {
    --start;
    const auto b = static_cast<unsigned char>(text[start]);
    if ((b & 0xC0) != 0x80) break;
  }
  if (start == text.size()) return text.size();
  const auto lead = static_cast<unsigned char>(text[start]);
  std::size_t need = 1;
  if (lead >= 0xF0) {
    need = 4;
  } else if (lead >= 0xE0) {
    need = 3;
  } else if (lead >= 0xC0) {
    need = 2;
  }
  return text.size() - start < need ? start : text.size();
}

TTextOutBuf::~TTextOutBuf() {
  try {
    Pass(pending_.size());
  } catch (...) {
    // Nothing is left to tell at the very end if the sink fails.
  }
}

TTextOutBuf::int_type TTextOutBuf::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  pending_ += traits_type::to_char_type(ch);
  if (ch == '\n') PassLines();
  return ch;
}

std::streamsize TTextOutBuf::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<std::size_t>(n));
  PassLines();
  return n;
}

int TTextOutBuf::sync() {
  Pass(WholeUtf8Prefix(pending_));
  return 0;
}

void TTextOutBuf::Pass(std::size_t end) {
  if (end == 0) return;
  sink_.Write(std::string_view(pending_).substr(0, end));
  pending_.erase(0, end);
}

void TTextOutBuf::PassLines() {
  const std::size_t lf = pending_.rfind('\n');
  if (lf != std::string::npos) {
    Pass(lf + 1);
  } else if (pending_.size() > kPendingLimit) {
    Pass(WholeUtf8Prefix(pending_));
  }
}

#ifndef _WIN32
bool IsTerminal(TStdStream which) { return isatty(which == TStdStream::Out ? 1 : 2) == 1; }

std::unique_ptr<ITextSink> MakeStdSink(TStdStream, std::streambuf& bytes, bool) {
  return std::make_unique<TByteSink>(bytes, TTextEncoding::Utf8);
}
#endif
