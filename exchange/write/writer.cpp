// The answer writer: the walk over the drawing in file order with its progress display and Escape abort, and the close-time
// write into the exchange file.
#include "exchange/write/writer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <string>

#include "exchange/file/atomic_file.h"
#include "exchange/write/emitters.h"

void JwwClearOutput(TJwwWriter& w) { w.Output.Clear(); }

namespace {

// "処理中(ESC:中断)：" (processing (ESC: abort):) in Shift-JIS.
constexpr std::string_view kProgressHead =
    "\x8f\x88\x97\x9d\x92\x86(ESC:\x92\x86\x92\x66)\x81\x46";
// "／" (full-width solidus) in Shift-JIS.
constexpr std::string_view kProgressSlash = "\x81\x5e";

void AppendCount(std::string& text, std::size_t value) {
  char buf[24];
  text.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

// Bytes of a line read again to find the fields to copy: numeric lines are far
// shorter, and fields past it are formatted instead.
constexpr std::size_t kCopyLineBytes = 512;

void FindCopyFields(TJwwWriter& w, std::uint64_t source) {
  const std::uint64_t offset = TJwwLineSource::Offset(source);
  const std::uint16_t fields = TJwwLineSource::Fields(source);
  if (TJwwLineSource::IsWholeLine(fields)) {
    // Checked as the record writer copies it.
    w.Copy.lineSize = TJwwLineSource::WholeLineSize(fields);
    w.Copy.line = w.Source->At(offset, w.Copy.lineSize + 1);
    return;
  }
  const std::string_view line = w.Source->At(offset, kCopyLineBytes);
  // Fields 1..last all in final form: the keyword line's bytes up to the end
  // of the last are likely the very line the writer writes.
  const auto last = static_cast<std::size_t>(std::bit_width(fields)) - 1;
  if (fields > 1 && fields == (2u << last) - 2u && JwwFindCopyRun(line, last, w.Copy)) return;
  JwwFindCopyFields(line, fields, w.Copy);
}

void ShowProgress(IJwwProgress& progress, std::size_t done, std::size_t total) {
  std::string text(kProgressHead);
  AppendCount(text, done);
  text.append(kProgressSlash);
  AppendCount(text, total);
  progress.ShowProgress(text);
  progress.ShowCount(done, total);
}

// Writes records [from, to) of the order list, copying final-form fields from
// the exchange file while the writer holds it open.
void WriteRecords(TJwwWriter& w, const TJwwOverrides& o, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    const TJwwOrder& entry = w.data.Order[i];
    if (entry.source == 0 || w.Source == nullptr) {
      JwwPutEntity(w, entry.kind, entry.index, o);
      continue;
    }
    FindCopyFields(w, entry.source);
    JwwPutEntity(w, entry.kind, entry.index, o);
    w.Copy.Clear();
  }
}

// Records between two looks at progress and Escape.
constexpr std::size_t kPollEvery = 100;

// The look before record i of n: progress shown, then true when Escape is down.
bool EscapeAt(std::size_t i, std::size_t n, IJwwProgress* progress, IJwwEscapeKey* escape) {
  if (progress != nullptr) ShowProgress(*progress, i + 1, n);
  return escape != nullptr && escape->IsEscapeDown();
}

// Writes records [from, to) of n, looking at progress and Escape before each
// record whose index is a multiple of kPollEvery. Returns the record before
// which Escape was seen (not written), else `to`.
std::size_t WritePolled(TJwwWriter& w, const TJwwOverrides& o, std::size_t from, std::size_t to,
                        IJwwProgress* progress, IJwwEscapeKey* escape) {
  std::size_t i = from;
  while (i < to) {
    if (i % kPollEvery == 0 && EscapeAt(i, to, progress, escape)) return i;
    const std::size_t next = std::min(to, (i / kPollEvery + 1) * kPollEvery);
    WriteRecords(w, o, i, next);
    i = next;
  }
  return to;
}

}  // namespace


void JwwWriteData(TJwwWriter& w, const TJwwOverrides& overrides, IJwwProgress* progress,
                  IJwwEscapeKey* escape) {
  const std::size_t n = w.data.Order.size();
  // Held whole, the answer is about as long as the file read (a drawing the
  // host wrote averages about 60 bytes per entity), and growing it past its
  // room would copy it whole. A streaming answer holds one chunk at a time.
  const auto read = static_cast<std::size_t>(w.data.BytesRead);
  const std::size_t whole = w.Output.FileBytes().size() + std::max(read + read / 4, 80 * n) + 64;
  w.Output.Reserve(w.Output.HasStreamTarget() ? std::min(whole, TJwwOutputBuffer::kStreamChunk * 17 / 16) : whole);
  if (w.data.Bz) JwwPutLine(w, "bz");
  if (WritePolled(w, overrides, 0, n, progress, escape) < n) JwwClearOutput(w);
  // The walk is the last reader of the exchange file: closed now, so that the
  // answer can take its place.
  w.Source.reset();
  // The host takes the last layer lines of the answer as its current layer;
  // hand back the one it had when it wrote the file.
  JwwPutLg(w, w.data.first.FirstLg);
  JwwPutLy(w, w.data.first.FirstLy);
}

bool JwwWriteFile(TJwwWriter& w, const std::filesystem::path& path, TFileError* error, IFileReplaceSeam* seam) {
  // Closed before its replacement may take its place (after Cancel the walk
  // never ran to close it).
  w.Source.reset();
  // An empty answer tells the host that nothing was done.
  if (w.Output.Count() == 0) return ReplaceFileContents(path, "hq\r\n", seam, error);
  return w.Output.WriteFile(path, seam, error);
}
