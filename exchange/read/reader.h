// The exchange-file reader: splits the host's lines into fields and applies
// them to the drawing store.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "exchange/file/file_error.h"
#include "exchange/read/read_state.h"
#include "exchange/source/source_file.h"
#include "exchange/store/store.h"

// Told how far reading has come, after each block read: bytes read so far and
// the file's size (0 when it is not known).
class IJwwReadProgress {
 public:
  virtual ~IJwwReadProgress() = default;
  virtual void ShowBytesRead(uint64_t done, uint64_t total) = 0;
};

// Reads the whole file into the store, which the caller has reset with
// JwwDataInit. True when the file was read to its end; false when it does not
// exist (the store is left unchanged) or reading failed part-way (what was read
// stays). Records which of these happened in d.ReadOutcome; `error`, when
// given, receives the step that failed and why (memory included). Never throws.
// `progress` may be null. `keepOpen`, when given, receives the file opened
// before reading and left open for the writer (TJwwWriter::Source), which then
// copies the final-form numbers it finds there; it stays empty when the file
// cannot be opened so or reading fails, and the answer is then formatted whole.
bool JwwReadFile(TJwwData& d, const std::filesystem::path& path, TFileError* error = nullptr,
                 IJwwReadProgress* progress = nullptr, std::unique_ptr<TJwwSourceFile>* keepOpen = nullptr);

// Reads exchange-file bytes already in memory, exactly as JwwReadFile reads a file.
void JwwReadBytes(TJwwData& d, std::string_view bytes);

// Applies one line, given without its line end, to the store, with the state
// the lines before it left in `rs` (a fresh TJwwReadState before the first).
void JwwParseLine(TJwwData& d, TJwwReadState& rs, std::string_view line);
