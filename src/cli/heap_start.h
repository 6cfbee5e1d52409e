// Starting a reading run's heap so that its memory costs few page faults. A fresh page costs a
// fault the first time it is written; on the virtual machines the benches run on, a fault
// costs 5 to 50 microseconds, several times what the page costs filled in one call with the
// others. Reading a small picture with the stock library writes some 120 fresh pages of heap
// (the sets, the detail shortlist, the picture), more as the picture grows; a page of 300 dpi
// writes some 10,000 (the picture, its binarised and rotated copies), then as much time in
// faults as in reading. So a short run has its heap put in place at start, sized to its
// largest picture, and a run over a large picture keeps its big buffers in the heap and lets
// that heap take 2 MiB pages (one fault where there were 512).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvik {

struct HeapPlan {
  std::size_t Prefault = 0;    // bytes of heap to put in place at start; 0 for none
  std::size_t LargePages = 0;  // bytes of heap to give 2 MiB pages; 0 for none
};

// The plan for a run whose largest picture decodes to about `pictureBytes` bytes of grey and
// whose library writes about `libraryBytes` of heap: pages in place for the library and a
// small picture's copies, large pages for a large one.
HeapPlan PlanReadingHeap(std::uint64_t pictureBytes, std::size_t libraryBytes);

// The heap the library of a run with these arguments writes: the stock library's unless sets
// are named with --set, a library file counting as much as the stock library.
std::size_t LibraryHeapBytes(const std::vector<std::string>& args);

// The grey bytes the largest picture among `args` decodes to, as far as its file tells cheaply:
// a PNG's width times height from its header, else the file's size (PNM and BMP hold one to
// four bytes a pixel). Arguments that are not regular files count nothing.
std::uint64_t LargestPictureBytes(const std::vector<std::string>& args);

// Carries out the plan. Needs KeepFreedMemory() first (freed memory then stays with the heap
// for the allocations that follow). Does nothing where glibc or the kernel's advice is missing:
// the pages then come with faults, as they would.
void StartReadingHeap(const HeapPlan& plan);

}  // namespace morvik
