// Work on several threads with its results taken in order: what `--jobs N` does for the
// pictures of a reading run.
#pragma once

#include <cstddef>
#include <functional>

namespace morvik {

// Calls work(i) for i in 0..count-1 on up to `jobs` threads (0: one a core; 1: all on the
// calling thread), and take(i) on the calling thread in the order of i, each once work(i)
// has returned. work runs ahead of take by at most two calls a thread, so that results kept
// until taken stay few. An exception from work or take stops the run (the threads are
// joined) and is rethrown.
void RunInOrder(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take);

}  // namespace morvik
