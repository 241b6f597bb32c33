// The answer writer: turns the drawing store back into exchange-file lines in
// the output line buffer, and writes that buffer into the exchange file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "exchange/file/atomic_file.h"
#include "exchange/file/file_error.h"
#include "exchange/source/source_file.h"
#include "exchange/store/store.h"
#include "exchange/write/output_buffer.h"

// The attribute lines last written: each is written again only when its value
// changes, or while it is still pending (TJwwPending). Starts at the host's
// defaults, independent of the reader's.
using TJwwWrittenState = TJwwAttrValues;

// The writer's context: the answer and what the walk needs while it writes it.
// It only reads the store, which must outlive it. One per answer: a new one
// starts with every attribute line pending.
struct TJwwWriter {
  explicit TJwwWriter(const TJwwData& drawing) : data(drawing) {}
  TJwwWriter(const TJwwWriter&) = delete;
  TJwwWriter& operator=(const TJwwWriter&) = delete;

  const TJwwData& data;
  TJwwOutputBuffer Output;  // the answer
  TJwwWrittenState attr;
  TJwwPending need;
  // The exchange file, open from reading (JwwReadFile's keepOpen) until the
  // walk ends, when final-form numbers are copied from it; none, and the
  // answer is formatted whole.
  std::unique_ptr<TJwwSourceFile> Source;
  // While the walk writes an entity: its fields to copy.
  TJwwCopyFields Copy;
};

// Where the walk shows its progress; the text is shown at once.
class IJwwProgress {
 public:
  virtual ~IJwwProgress() = default;
  virtual void ShowProgress(std::string_view sjisText) = 0;
  // The same moment as numbers, for a display of its own (the batch command's).
  virtual void ShowCount(std::size_t done, std::size_t total) { (void)done; (void)total; }
};

// The Escape key's state at the moment of asking.
class IJwwEscapeKey {
 public:
  virtual ~IJwwEscapeKey() = default;
  virtual bool IsEscapeDown() = 0;
};

// The eight attribute overrides passed to every record writer. All off by default.
struct TJwwOverrides {
  int32_t lg = -1;         // layer group, off outside 0..15
  int32_t ly = -1;         // layer, off outside 0..15
  int32_t lc = -1;         // colour, off at -1
  int32_t lc10 = 0;        // arbitrary colour value, used with lc 10
  int32_t cc = -1;         // text cc, off at -1
  int32_t textColour = -1; // text colour, off at -1
  int32_t lw = -1;         // width, off at -1
  int32_t lt = -1;         // line type, off at -1
};

// Appends one line to the output line buffer.
inline void JwwPutLine(TJwwWriter& w, std::string_view line) { w.Output.Append(line); }

// Empties the output line buffer.
void JwwClearOutput(TJwwWriter& w);

// Appends the whole drawing: "bz" if read, every entity in file order, then the
// closing lg/ly lines. Shows progress and polls Escape every 100 entities;
// Escape empties the buffer and skips the rest. Both interfaces may be null.
void JwwWriteData(TJwwWriter& w, const TJwwOverrides& overrides, IJwwProgress* progress,
                  IJwwEscapeKey* escape);

// Writes the buffer (or "hq" when it is empty) into the file with CR LF line
// ends, through a temporary file in the same folder that then replaces it;
// an answer streaming to that file (TJwwOutputBuffer::StreamTo) is completed
// and put in place. On any failure, also one while streaming, the temporary
// file is removed, the old file is left as it was, and the result is false;
// `error`, when given, says which step failed and why. A read-only file is
// refused. Never throws. `seam` (may be null) sees each block of an answer
// held in memory written, which is how a long write shows its progress.
bool JwwWriteFile(TJwwWriter& w, const std::filesystem::path& path, TFileError* error = nullptr,
                  IFileReplaceSeam* seam = nullptr);
