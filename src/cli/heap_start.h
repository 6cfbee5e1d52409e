// Starting a reading run's heap with its pages already in place. A fresh page costs a fault
// the first time it is written; on the virtual machines the benches run on, a fault costs
// 10 to 50 microseconds, ten times or more what the page costs filled in one call with the
// others, and reading a small picture with the stock library writes some 330 fresh pages of
// heap (the sets, the detail shortlist, the picture), 60 % more for a block of text.
#pragma once

#include <cstddef>

namespace morvik {

// The heap a short reading run fills: the stock library's sets and what reading one picture
// of a few lines of text needs beside them, with room to spare.
constexpr std::size_t kReadingHeapBytes = std::size_t{2} << 20;

// Has the kernel put in place, in one call, the pages of the next `bytes` of the main heap,
// which malloc then hands out as before. Needs KeepFreedMemory() first (malloc then takes a
// block this size from the heap and keeps it when freed). Does nothing where glibc or the
// kernel's MADV_POPULATE_WRITE is missing: the pages then come with faults, as they would.
void PrefaultHeap(std::size_t bytes);

}  // namespace morvik
