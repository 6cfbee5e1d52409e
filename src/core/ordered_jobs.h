// Work on many items over several threads, with the results taken in the items' order: a run
// over many pictures prints exactly what one thread would, in the same order.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace morvik {

// The threads a run uses when not told: one per core the system reports (at least one).
inline unsigned DefaultJobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// Calls work(i) for every i in [0, count) on up to `threads` threads (the caller's among
// them) and take(i, result) on the calling thread for i = 0, 1, 2 ... in turn, as soon as
// each result is ready. Work runs at most 2 x threads items ahead of take, so results do not
// pile up. An exception from work(i) comes out of the call at item i, after take has had the
// items before it; work already started finishes first. With one thread or one item,
// everything runs on the calling thread in order.
template <typename Result, typename Work, typename Take>
void RunInOrder(std::size_t count, unsigned threads, Work work, Take take) {
  threads = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count));
  if (threads <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      Result r = work(i);
      take(i, r);
    }
    return;
  }
  const std::size_t window = 2 * static_cast<std::size_t>(threads);
  std::vector<std::optional<Result>> results(count);
  std::vector<std::exception_ptr> failures(count);
  std::mutex m;
  std::condition_variable ready, room;
  std::size_t next = 0, taken = 0;
  bool stop = false;
  auto worker = [&] {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock<std::mutex> lock(m);
        room.wait(lock, [&] { return stop || next >= count || next < taken + window; });
        if (stop || next >= count) return;
        i = next++;
      }
      std::optional<Result> r;
      std::exception_ptr failure;
      try {
        r.emplace(work(i));
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(m);
      results[i] = std::move(r);
      failures[i] = failure;
      ready.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  auto finish = [&] {
    {
      std::lock_guard<std::mutex> lock(m);
      stop = true;
    }
    room.notify_all();
    for (std::thread& t : pool) t.join();
  };
  try {
    for (std::size_t i = 0; i < count; ++i) {
      std::optional<Result> r;
      {
        std::unique_lock<std::mutex> lock(m);
        ready.wait(lock, [&] { return results[i].has_value() || failures[i]; });
        if (failures[i]) std::rethrow_exception(failures[i]);
        r = std::move(results[i]);
        results[i].reset();
        taken = i + 1;
      }
      room.notify_all();
      take(i, *r);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

}  // namespace morvik
