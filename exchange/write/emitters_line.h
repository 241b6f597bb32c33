// A line of the answer assembled on the stack: keyword, then fields separated
// by single blanks. Numeric lines are short, so no allocation is needed.
#pragma once

#include <cstring>
#include <string_view>

#include "exchange/write/number_text.h"
#include "exchange/source/source_file.h"

class TJwwLineBuilder {
 public:
  // Room for the longest numeric line, a keyword and nine fields, each with
  // the working room that PutNumberText needs.
  static constexpr std::size_t kCapacity = 16 + 9 * (kNumberTextMax + 1);
  static_assert(TJwwCopyFields::kMaxField <= kNumberTextMax, "a copied field takes a number's room");
  static_assert(TJwwCopyFields::kMaxRun + 16 <= kCapacity, "a run copied, then an integer or a quote");

  explicit TJwwLineBuilder(std::string_view keyword) { Raw(keyword); }
  // The end pointer points into the builder itself: not copied.
  TJwwLineBuilder(const TJwwLineBuilder&) = delete;
  TJwwLineBuilder& operator=(const TJwwLineBuilder&) = delete;

  // Appends bytes as they are (no separator).
  TJwwLineBuilder& Raw(std::string_view s) {
    std::memcpy(end_, s.data(), s.size());
    end_ += s.size();
    return *this;
  }
  // Appends a blank unless the line is still empty, then the number text.
  TJwwLineBuilder& Num(double v) {
    Separate();
    end_ = PutNumberText(end_, v);
    return *this;
  }
  // The same, but copies `copy` when it is given: the value's number text as
  // it stood in the file read (TJwwCopyFields), so it need not be formatted.
  TJwwLineBuilder& Num(double v, std::string_view copy) {
    if (copy.empty()) return Num(v);
    Separate();
    return Raw(copy);
  }
  TJwwLineBuilder& Int(int32_t v) {
    Separate();
    end_ = PutIntText(end_, v);
    return *this;
  }
  // Appends the text directly after what is there, without a blank.
  TJwwLineBuilder& GluedInt(int32_t v) {
    end_ = PutIntText(end_, v);
    return *this;
  }
  TJwwLineBuilder& GluedHex(int32_t v) {
    end_ = PutHexText(end_, v);
    return *this;
  }

  std::string_view View() const { return std::string_view(buf_, static_cast<std::size_t>(end_ - buf_)); }

 private:
  void Separate() {
    if (end_ != buf_) *end_++ = ' ';
  }
  char buf_[kCapacity];
  char* end_ = buf_;
};
