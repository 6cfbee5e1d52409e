// Work over several threads taken in order: every item once, in its order, whatever the
// threads finish first; a failure stops the run at its item; work never runs far ahead.
#include "core/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace morvik {
namespace {

// Later items finish sooner, so that the threads hand them over out of order.
int SlowSquare(std::size_t i, std::size_t count) {
  std::this_thread::sleep_for(std::chrono::microseconds(50 * (count - i)));
  return static_cast<int>(i * i);
}

TEST(OrderedJobs, EveryItemTakenOnceInOrder) {
  const struct {
    std::size_t Count;
    unsigned Threads;
  } cases[] = {{0, 4}, {1, 4}, {7, 1}, {40, 2}, {40, 3}, {5, 16}};
  for (const auto& c : cases) {
    std::vector<int> taken;
    std::atomic<int> running{0}, most{0};
    RunInOrder<int>(
        c.Count, c.Threads,
        [&](std::size_t i) {
          most = std::max(most.load(), ++running);
          const int r = SlowSquare(i, c.Count);
          --running;
          return r;
        },
        [&](std::size_t i, int& r) {
          EXPECT_EQ(i, taken.size());
          taken.push_back(r);
        });
    ASSERT_EQ(taken.size(), c.Count) << c.Threads;
    for (std::size_t i = 0; i < c.Count; ++i) EXPECT_EQ(taken[i], static_cast<int>(i * i));
    EXPECT_LE(most.load(), static_cast<int>(c.Threads)) << c.Count;
  }
}

TEST(OrderedJobs, FailureComesOutAtItsItemAfterTheOnesBefore) {
  for (const unsigned threads : {1u, 3u}) {
    std::vector<std::size_t> taken;
    std::atomic<std::size_t> highest{0};
    EXPECT_THROW(RunInOrder<int>(
                     100, threads,
                     [&](std::size_t i) {
                       highest = std::max(highest.load(), i);
                       if (i == 5) throw std::runtime_error("item 5");
                       return static_cast<int>(i);
                     },
                     [&](std::size_t i, int&) { taken.push_back(i); }),
                 std::runtime_error);
    EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2, 3, 4})) << threads;
    // Work stays within twice the threads of the items taken.
    EXPECT_LT(highest.load(), 5u + 2 * threads + 1) << threads;
  }
}

// Threads taking several items at a time (the calling thread among them while it waits)
// still hand every item out once, in order, with no more threads at once than asked and
// work no further ahead than 2 x threads x chunk.
TEST(OrderedJobs, ChunksKeepOrderThreadsAndWindow) {
  const struct {
    std::size_t Count, Chunk;
    unsigned Threads;
  } cases[] = {{100, 4, 2}, {100, 16, 2}, {37, 5, 3}, {3, 16, 2}, {64, 1, 4}};
  for (const auto& c : cases) {
    std::atomic<int> running{0}, most{0};
    std::atomic<std::size_t> highest{0};
    OrderedJobs<int> jobs(
        c.Count, c.Threads,
        [&](std::size_t i) {
          most = std::max(most.load(), ++running);
          highest = std::max(highest.load(), i);
          const int r = SlowSquare(i % 8, 8);
          --running;
          return r + static_cast<int>(1000 * i);
        },
        c.Chunk);
    for (std::size_t i = 0; i < c.Count; ++i) {
      EXPECT_EQ(jobs.Next(), static_cast<int>((i % 8) * (i % 8) + 1000 * i)) << c.Chunk;
      EXPECT_LT(highest.load(), i + 2 * c.Threads * c.Chunk + 1) << c.Chunk;
    }
    EXPECT_LE(most.load(), static_cast<int>(c.Threads)) << c.Chunk;
  }
}

}  // namespace
}  // namespace morvik
