// The public ordered jobs (morvik/jobs.h) over the engine's.
#include "morvik/jobs.h"

#include "core/ordered_jobs.h"

namespace morvik {

void RunInOrder(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take) {
  struct Done {};
  RunInOrder<Done>(
      count, jobs != 0 ? jobs : DefaultJobs(),
      [&](std::size_t i) {
        work(i);
        return Done{};
      },
      [&](std::size_t i, Done&) { take(i); });
}

}  // namespace morvik
