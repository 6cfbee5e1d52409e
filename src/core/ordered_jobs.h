// Work on many items over several threads, with the results taken in the items' order: a run
// over many pictures prints exactly what one thread would, in the same order.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace morvik {

// The threads a run uses when not told: one per core the system reports (at least one).
inline unsigned DefaultJobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// The results of work(i) for i = 0 .. count - 1, handed out in that order by Next() on the
// thread that made the object, worked out on up to `threads` threads: threads - 1 of its
// own, and the calling thread itself while the result it waits for is not ready. Threads
// take `chunk` consecutive items at a time, so that small items do not cost a hand-over
// each (on a busy machine every wait for another thread costs a time slice). Work runs at
// most 2 x threads chunks ahead of Next, so results do not pile up. With one thread (or one
// item) no thread is started and Next() calls work(i) itself, so work may then use what only
// the calling thread may touch. An exception from work(i) comes out of the Next() that asks
// for item i. The destructor stops handing out work and waits for what was started.
template <typename Result>
class OrderedJobs {
 public:
  OrderedJobs(std::size_t count, unsigned threads, std::function<Result(std::size_t)> work,
              std::size_t chunk = 1)
      : count_(count), work_(std::move(work)), chunk_(std::max<std::size_t>(chunk, 1)) {
    threads = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count));
    if (threads <= 1) return;
    window_ = 2 * static_cast<std::size_t>(threads) * chunk_;
    slots_.resize(window_);
    for (unsigned t = 1; t < threads; ++t) pool_.emplace_back([this] { Work(); });
  }
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;
  ~OrderedJobs() {
    {
      std::lock_guard<std::mutex> lock(m_);
      stop_ = true;
    }
    room_.notify_all();
    for (std::thread& t : pool_) t.join();
  }

  // The result of the next item; call it at most `count` times.
  Result Next() {
    const std::size_t i = taken_;
    if (window_ == 0) {
      ++taken_;
      return work_(i);
    }
    std::unique_lock<std::mutex> lock(m_);
    Slot& slot = slots_[i % window_];
    while (!slot.Done) {
      // Rather than wait, the calling thread works on the next chunk while there is one.
      if (next_ < count_ && next_ < taken_ + window_) {
        RunChunk(lock);
      } else {
        ready_.wait(lock);
      }
    }
    slot.Done = false;
    taken_ = i + 1;
    room_.notify_all();
    if (slot.Failure) std::rethrow_exception(std::exchange(slot.Failure, nullptr));
    Result r = std::move(*slot.Value);
    slot.Value.reset();
    return r;
  }

 private:
  struct Slot {
    std::optional<Result> Value;
    std::exception_ptr Failure;
    bool Done = false;
  };

  void Work() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      room_.wait(lock, [&] { return stop_ || next_ >= count_ || next_ < taken_ + window_; });
      if (stop_ || next_ >= count_) return;
      RunChunk(lock);
    }
  }

  // Claims the next chunk (within the window) and works it with the lock released.
  void RunChunk(std::unique_lock<std::mutex>& lock) {
    const std::size_t first = next_;
    const std::size_t end = std::min({count_, first + chunk_, taken_ + window_});
    next_ = end;
    lock.unlock();
    std::vector<Slot> done(end - first);
    for (std::size_t i = first; i < end; ++i) {
      try {
        done[i - first].Value.emplace(work_(i));
      } catch (...) {
        done[i - first].Failure = std::current_exception();
      }
    }
    lock.lock();
    for (std::size_t i = first; i < end; ++i) {
      Slot& slot = slots_[i % window_];
      slot = std::move(done[i - first]);
      slot.Done = true;
    }
    ready_.notify_all();
  }

  const std::size_t count_;
  const std::function<Result(std::size_t)> work_;
  const std::size_t chunk_;
  std::vector<Slot> slots_;  // item i in slot i % window_
  std::vector<std::thread> pool_;
  std::mutex m_;
  std::condition_variable ready_, room_;
  std::size_t window_ = 0, next_ = 0, taken_ = 0;
  bool stop_ = false;
};

// Calls work(i) for every i in [0, count) on up to `threads` threads and take(i, result) on
// the calling thread for i = 0, 1, 2 ... in turn, as soon as each result is ready (see
// OrderedJobs). An exception from work(i) comes out of the call at item i, after take has
// had the items before it; work already started finishes first.
template <typename Result, typename Work, typename Take>
void RunInOrder(std::size_t count, unsigned threads, Work work, Take take) {
  OrderedJobs<Result> jobs(count, threads, std::function<Result(std::size_t)>(work));
  for (std::size_t i = 0; i < count; ++i) {
    Result r = jobs.Next();
    take(i, r);
  }
}

}  // namespace morvik
