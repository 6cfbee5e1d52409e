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

// Makes the process keep the memory its pictures free for the next ones (glibc's malloc;
// elsewhere nothing). With the defaults every thread's arena gives its top back to the system
// as soon as it shrinks and takes it again for the next picture: a page fault per page and a
// flush of every core's page tables each time, which cost a Python worker reading pages four
// times the CPU of the reading itself. Process-wide: the program calls it at start, the
// Python package when imported. A process may then hold up to 64 MiB more than it uses.
void KeepFreedMemory();

}  // namespace morvik
