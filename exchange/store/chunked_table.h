// A growable table of records kept in fixed-size chunks: growing it never
// copies what is stored (a vector's regrowth costs a copy of the whole table,
// and the old and the new block side by side at the peak), and no room is
// reserved up front for records that may never come, which on Windows would
// count against the commit limit. Chunks are sized in bytes, a page (4 KiB)
// whatever the record, so that a small drawing's tables cost little to set up.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// The largest power of two of records of `bytes` bytes that fits in 4 KiB (at least one).
constexpr std::size_t JwwChunkShift(std::size_t bytes) {
  std::size_t shift = 0;
  while ((std::size_t{2} << shift) * bytes <= (std::size_t{4} << 10)) ++shift;
  return shift;
}

template <typename T>
class TJwwTable {
 public:
  // Records per chunk: a power of two, so indexing is a shift and a mask.
  static constexpr std::size_t kChunkShift = JwwChunkShift(sizeof(T));
  static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkShift;

  TJwwTable() = default;
  TJwwTable(const TJwwTable& other) { *this = other; }
  TJwwTable& operator=(const TJwwTable& other) {
    if (this == &other) return *this;
    clear();
    for (const T& rec : other) push_back(rec);
    return *this;
  }
  TJwwTable(TJwwTable&& other) noexcept { swap(other); }
  TJwwTable& operator=(TJwwTable&& other) noexcept {
    TJwwTable(std::move(other)).swap(*this);
    return *this;
  }
  ~TJwwTable() { clear(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Records the chunks already allocated can hold.
  std::size_t capacity() const { return chunks_.size() * kChunkSize; }

  T& operator[](std::size_t i) { return chunks_[i >> kChunkShift][i & (kChunkSize - 1)]; }
  const T& operator[](std::size_t i) const { return chunks_[i >> kChunkShift][i & (kChunkSize - 1)]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  // Appends a value-initialised record (every field at its default) and
  // returns it. Throws std::bad_alloc when a new chunk cannot be had; the
  // table is then unchanged.
  T& emplace_back() {
    T* rec = ::new (Slot()) T();
    Count();
    return *rec;
  }
  void push_back(const T& rec) {
    ::new (Slot()) T(rec);
    Count();
  }

  // Destroys every record and gives all chunks back.
  void clear() {
    for (std::size_t i = size_; i > 0; --i) (*this)[i - 1].~T();
    for (T* chunk : chunks_) ::operator delete(chunk);
    std::vector<T*>().swap(chunks_);
    size_ = 0;
    next_ = nullptr;
    chunkEnd_ = nullptr;
  }

  void swap(TJwwTable& other) noexcept {
    chunks_.swap(other.chunks_);
    std::swap(size_, other.size_);
    std::swap(next_, other.next_);
    std::swap(chunkEnd_, other.chunkEnd_);
  }

  template <typename Table, typename Rec>
  class Iterator {
   public:
    Iterator(Table* table, std::size_t i) : table_(table), i_(i) {}
    Rec& operator*() const { return (*table_)[i_]; }
    Rec* operator->() const { return &(*table_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return i_ == other.i_; }
    bool operator!=(const Iterator& other) const { return i_ != other.i_; }

   private:
    Table* table_;
    std::size_t i_;
  };
  using iterator = Iterator<TJwwTable, T>;
  using const_iterator = Iterator<const TJwwTable, const T>;
  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  // Chunks come from operator new, aligned for any record.
  static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
  static constexpr std::size_t kChunkBytes = kChunkSize * sizeof(T);

  // Raw room for the next record, with a new chunk when the last one is full.
  // The caller counts the record once it is built, so a failure leaves the
  // table as it was.
  void* Slot() {
    if (next_ == chunkEnd_) AddChunk();
    return next_;
  }
  void Count() {
    ++next_;
    ++size_;
  }
  // Out of line, once per chunk, so that appending stays small enough to inline.
  [[gnu::noinline]] void AddChunk() {
    chunks_.emplace_back();
    try {
      chunks_.back() = static_cast<T*>(::operator new(kChunkBytes));
    } catch (...) {
      chunks_.pop_back();
      throw;
    }
    next_ = chunks_.back();
    chunkEnd_ = next_ + kChunkSize;
  }

  std::vector<T*> chunks_;  // each holds kChunkSize records' room; the first size_ records are built
  std::size_t size_ = 0;
  // The last chunk's room, so that appending is a compare and a store: the
  // next record's place and the end of the chunk (both null before the first).
  T* next_ = nullptr;
  T* chunkEnd_ = nullptr;
};
