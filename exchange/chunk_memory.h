// Room for the chunks of the store's tables.
//
// A large drawing's store is tens of megabytes, written once from start to
// end while the file is read. Each 4 KiB page of it costs a page fault on
// first touch: some 25,000 for a million records, a third of a fresh
// process's reading time. On Linux the chunks are carved from large regions
// kept for reuse, and a thread of their own faults in the pages just ahead of
// use, so that the reading thread seldom meets a fresh page. Elsewhere, and
// under the address sanitizer (which must see each chunk's own bounds), a
// chunk is plain operator new.
#pragma once

#include <cstddef>

// Room for `bytes` bytes, aligned for any record; throws std::bad_alloc.
void* JwwChunkAllocate(std::size_t bytes);
// Gives back room had from JwwChunkAllocate with the same `bytes`.
void JwwChunkFree(void* chunk, std::size_t bytes) noexcept;
