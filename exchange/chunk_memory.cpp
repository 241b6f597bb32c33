#include "exchange/chunk_memory.h"

#include <algorithm>
#include <new>

// The address sanitizer, as GCC and Clang tell it.
#if defined(__SANITIZE_ADDRESS__)
#define T905_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define T905_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(__linux__) && !defined(T905_ADDRESS_SANITIZER)
#define T905_CHUNK_REGIONS 1
#include <sys/mman.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>
#endif

#ifdef T905_CHUNK_REGIONS
namespace {

// The filler asks for pages this many bytes at a time.
constexpr std::size_t kFillStep = std::size_t{2} << 20;
// Regions are reserved, not touched: only pages written count. A chunk
// larger than a quarter of one is plain heap memory.
constexpr std::size_t kRegion = std::size_t{32} << 20;
constexpr std::size_t kLargestCarved = kRegion / 4;
constexpr std::size_t kAlign = 64;

// Faults in the pages just ahead of where chunks are carved, on a thread of
// its own: a fresh page costs its first writer the time to clear it (and on a
// virtual machine, often the host's time to back it), which the thread filling
// the store would otherwise spend in the middle of reading. The thread only
// asks for the pages (MADV_POPULATE_WRITE leaves their bytes alone), so it
// never races with the records written into them.
class TPageFiller {
 public:
  // Asks for the pages of [region, to) to be faulted in. Calls give regions in
  // the order they are carved and, within one, ends that only grow.
  void Want(char* region, char* to) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (broken_) return;
    region_ = region;
    wanted_ = to;
    if (!started_) {
      started_ = true;
      try {
        std::thread(&TPageFiller::Run, this).detach();  // lives as long as the process
      } catch (...) {
        broken_ = true;  // no thread (or no memory for one): pages are faulted in where they are written
      }
    }
    wake_.notify_one();
  }

 private:
  void Run() {
    char* region = nullptr;
    char* filled = nullptr;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return region_ != region || wanted_ > filled; });
      if (region_ != region) {
        region = region_;
        filled = region;
      }
      char* const to = wanted_;
      lock.unlock();
      bool ok = true;
      for (; filled < to && ok; filled += kFillStep) {
        const std::size_t size = std::min<std::size_t>(kFillStep, static_cast<std::size_t>(to - filled));
        ok = madvise(filled, size, MADV_POPULATE_WRITE) == 0;
      }
      lock.lock();
      if (!ok) {
        broken_ = true;  // an older system: pages are faulted in where they are written
        return;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  char* region_ = nullptr;  // the region being carved, and how far into it pages are wanted
  char* wanted_ = nullptr;
  bool started_ = false;
  bool broken_ = false;
};

// Carves chunks from regions in order. A chunk given back is kept for the
// next one of its size (the store's tables use a handful of sizes), never
// returned to the system: the store's size is the process's peak anyway.
class TChunkRegions {
 public:
  void* Take(std::size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (void* reused = TakeFreed(bytes)) return reused;
    if (next_ == nullptr || static_cast<std::size_t>(end_ - next_) < bytes) {
      if (!AddRegion()) return nullptr;
    }
    void* chunk = next_;
    next_ += bytes;
    carved_ += bytes;
    FillAhead();
    return chunk;
  }

  // False when `chunk` is not from a region.
  bool Give(void* chunk, std::size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Holds(chunk)) return false;
    for (TFreeList& list : freed_) {
      if (list.bytes == bytes) {
        list.chunks.push_back(chunk);
        return true;
      }
    }
    freed_.push_back({bytes, {chunk}});
    return true;
  }

 private:
  struct TFreeList {
    std::size_t bytes;
    std::vector<void*> chunks;
  };

  void* TakeFreed(std::size_t bytes) {
    for (TFreeList& list : freed_) {
      if (list.bytes == bytes && !list.chunks.empty()) {
        void* chunk = list.chunks.back();
        list.chunks.pop_back();
        return chunk;
      }
    }
    return nullptr;
  }

  // A new region. Not offered for 2 MiB pages: on a virtual machine those
  // come from memory the host has long taken back, and a fresh process's
  // first pages then cost more than small ones, while the store gains next
  // to nothing from them (it is written and read in order).
  bool AddRegion() {
    void* mapped = mmap(nullptr, kRegion, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return false;
    auto* const region = static_cast<char*>(mapped);
    char* const tail = region + kRegion;
    try {
      regions_.push_back(region);
    } catch (...) {
      munmap(region, kRegion);
      return false;
    }
    next_ = region;
    end_ = tail;
    return true;
  }

  bool Holds(const void* chunk) const {
    const auto* p = static_cast<const char*>(chunk);
    for (const char* region : regions_) {
      if (p >= region && p < region + kRegion) return true;
    }
    return false;
  }

  // Has the pages ahead of the next chunk faulted in: as far ahead as has
  // been carved in all (a small store wastes next to nothing), at most kLead,
  // and only once a store is large enough for it to pay.
  void FillAhead() {
    if (carved_ < kFillFrom) return;
    char* const to = next_ + std::min(kLead, carved_);
    char* const region = regions_.back();
    char* const want = std::min(end_, region + (to - region + kFillStep - 1) / kFillStep * kFillStep);
    if (want <= asked_ && region == askedRegion_) return;
    asked_ = want;
    askedRegion_ = region;
    filler_.Want(region, want);
  }

  static constexpr std::size_t kLead = std::size_t{8} << 20;
  static constexpr std::size_t kFillFrom = std::size_t{4} << 20;

  std::mutex mutex_;
  TPageFiller filler_;
  std::size_t carved_ = 0;  // bytes carved from regions in all
  char* askedRegion_ = nullptr;
  char* asked_ = nullptr;   // how far the filler was asked to go in it
  std::vector<char*> regions_;
  std::vector<TFreeList> freed_;
  char* next_ = nullptr;  // the room not yet carved in the last region
  char* end_ = nullptr;
};

// Never destroyed: tables in static objects may give chunks back at exit.
TChunkRegions& Regions() {
  static auto* regions = new TChunkRegions;
  return *regions;
}

std::size_t Carved(std::size_t bytes) { return (bytes + kAlign - 1) / kAlign * kAlign; }

}  // namespace

void* JwwChunkAllocate(std::size_t bytes) {
  if (bytes != 0 && bytes <= kLargestCarved) {
    if (void* chunk = Regions().Take(Carved(bytes))) return chunk;
  }
  return ::operator new(bytes);
}

void JwwChunkFree(void* chunk, std::size_t bytes) noexcept {
  if (chunk == nullptr) return;
  if (bytes != 0 && bytes <= kLargestCarved) {
    try {
      if (Regions().Give(chunk, Carved(bytes))) return;
    } catch (...) {
      return;  // no room to note it: the chunk stays unused
    }
  }
  ::operator delete(chunk);
}

#else

void* JwwChunkAllocate(std::size_t bytes) { return ::operator new(bytes); }

void JwwChunkFree(void* chunk, std::size_t bytes) noexcept {
  (void)bytes;
  ::operator delete(chunk);
}

#endif
