// The public ordered jobs (morvik/jobs.h) over the engine's.
#include "morvik/jobs.h"

#include "core/ordered_jobs.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace morvik {

void RunInOrder(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take) {
  struct Done {};
  // One item runs on the calling thread whatever the count of cores (which costs a file read).
  RunInOrder<Done>(
      count,
      jobs != 0    ? jobs
      : count <= 1 ? 1
                   : DefaultJobs(),
      [&](std::size_t i) {
        work(i);
        return Done{};
      },
      [&](std::size_t i, Done&) { take(i); });
}

void KeepFreedMemory() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
#endif
}

}  // namespace morvik
