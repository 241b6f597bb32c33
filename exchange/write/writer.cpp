// The answer writer: the writer attribute state, the walk over the drawing in
// file order with its progress display and Escape abort, and the close-time
// write into the exchange file.
#include "exchange/write/writer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <string>

#include "exchange/file/atomic_file.h"
#include "exchange/write/emitters.h"

void JwwWriteInit(TJwwData& d) {
  d.need = TJwwPending{};
  TJwwAttrState& a = d.attr;
  a.CurLg = 0;
  a.CurLy = 0;
  a.CurLc = 1;
  a.CurLt = 1;
  a.CurLw = 0;
  a.CurCn = 1;
  a.CurTextWidth = 2.0;
  a.CurTextHeight = 2.0;
  a.CurTextSpacing = 0.0;
  a.CurTextColour = 1;
  a.CurCc = 0;
  a.CurFont = JwwDefaultFont();
  a.CurPn = 1;
  a.CurLc10 = 0;
}

void JwwClearOutput(TJwwData& d) { d.Output.Clear(); }

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

void FindCopyFields(TJwwData& d, std::uint64_t source) {
  const std::uint64_t offset = TJwwLineSource::Offset(source);
  const std::uint16_t fields = TJwwLineSource::Fields(source);
  if (TJwwLineSource::IsWholeLine(fields)) {
    // Checked as the record writer copies it.
    d.Copy.lineSize = TJwwLineSource::WholeLineSize(fields);
    d.Copy.line = d.Source->At(offset, d.Copy.lineSize + 1);
    return;
  }
  const std::string_view line = d.Source->At(offset, kCopyLineBytes);
  // Fields 1..last all in final form: the keyword line's bytes up to the end
  // of the last are likely the very line the writer writes.
  const auto last = static_cast<std::size_t>(std::bit_width(fields)) - 1;
  if (fields > 1 && fields == (2u << last) - 2u && JwwFindCopyRun(line, last, d.Copy)) return;
  JwwFindCopyFields(line, fields, d.Copy);
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
// the store's source file while it is open.
void WriteRecords(TJwwData& d, const TJwwOverrides& o, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    const TJwwOrder& entry = d.Order[i];
    if (entry.source == 0 || d.Source == nullptr) {
      JwwPutEntity(d, entry.kind, entry.index, o);
      continue;
    }
    FindCopyFields(d, entry.source);
    JwwPutEntity(d, entry.kind, entry.index, o);
    d.Copy.Clear();
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
std::size_t WritePolled(TJwwData& d, const TJwwOverrides& o, std::size_t from, std::size_t to,
                        IJwwProgress* progress, IJwwEscapeKey* escape) {
  std::size_t i = from;
  while (i < to) {
    if (i % kPollEvery == 0 && EscapeAt(i, to, progress, escape)) return i;
    const std::size_t next = std::min(to, (i / kPollEvery + 1) * kPollEvery);
    WriteRecords(d, o, i, next);
    i = next;
  }
  return to;
}

}  // namespace


void JwwWriteData(TJwwData& d, const TJwwOverrides& overrides, IJwwProgress* progress,
                  IJwwEscapeKey* escape) {
  const std::size_t n = d.Order.size();
  // Held whole, the answer is about as long as the file read (a drawing the
  // host wrote averages about 60 bytes per entity), and growing it past its
  // room would copy it whole. A streaming answer holds one chunk at a time.
  const auto read = static_cast<std::size_t>(d.BytesRead);
  const std::size_t whole = d.Output.FileBytes().size() + std::max(read + read / 4, 80 * n) + 64;
  d.Output.Reserve(d.Output.HasStreamTarget() ? std::min(whole, TJwwOutputBuffer::kStreamChunk * 17 / 16) : whole);
  if (d.Bz) JwwPutLine(d, "bz");
  if (WritePolled(d, overrides, 0, n, progress, escape) < n) JwwClearOutput(d);
  // The walk is the last reader of the exchange file: closed now, so that the
  // answer can take its place.
  d.Source.reset();
  // The host takes the last layer lines of the answer as its current layer;
  // hand back the one it had when it wrote the file.
  JwwPutLg(d, d.first.FirstLg);
  JwwPutLy(d, d.first.FirstLy);
}

bool JwwWriteFile(TJwwData& d, const std::filesystem::path& path, TFileError* error, IFileReplaceSeam* seam) {
  // Closed before its replacement may take its place (after Cancel the walk
  // never ran to close it).
  d.Source.reset();
  // An empty answer tells the host that nothing was done.
  if (d.Output.Count() == 0) return ReplaceFileContents(path, "hq\r\n", seam, error);
  return d.Output.WriteFile(path, seam, error);
}
