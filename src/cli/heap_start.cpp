#include "cli/heap_start.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace morvik {

void PrefaultHeap(std::size_t bytes) {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_POPULATE_WRITE)
  // At start the heap holds almost nothing, so the block is the heap's free top; freed, it
  // joins the top again (below the trim threshold: it stays mapped) for the allocations
  // that follow. An older kernel refuses the advice, and the pages fault in as before.
  void* block = std::malloc(bytes);
  if (!block) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t from = (at + page - 1) / page * page, to = (at + bytes) / page * page;
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
  std::free(block);
#else
  (void)bytes;
#endif
}

}  // namespace morvik
