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
#include <vector>

namespace morvik {

// The threads a run uses when not told: one per core the system reports (at least one).
inline unsigned DefaultJobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// The results of work(i) for i = 0 .. count - 1, handed out in that order by Next() on the
// thread that made the object, worked out on up to `threads` threads. Work runs at most
// 2 x threads items ahead of Next, so results do not pile up. With one thread (or one item)
// no thread is started: Next() calls work(i) itself, so work may then use what only the
// calling thread may touch. An exception from work(i) comes out of the Next() that asks for
// item i. The destructor stops handing out work and waits for what was started.
template <typename Result>
class OrderedJobs {
 public:
  OrderedJobs(std::size_t count, unsigned threads, std::function<Result(std::size_t)> work)
      : count_(count), work_(std::move(work)), results_(count), failures_(count) {
    threads = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count));
    if (threads <= 1) return;
    window_ = 2 * static_cast<std::size_t>(threads);
    for (unsigned t = 0; t < threads; ++t) pool_.emplace_back([this] { Work(); });
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
    if (pool_.empty()) {
      ++taken_;
      return work_(i);
    }
    std::optional<Result> r;
    {
      std::unique_lock<std::mutex> lock(m_);
      ready_.wait(lock, [&] { return results_[i].has_value() || failures_[i]; });
      taken_ = i + 1;
      room_.notify_all();
      if (failures_[i]) std::rethrow_exception(failures_[i]);
      r = std::move(results_[i]);
      results_[i].reset();
    }
    return std::move(*r);
  }

 private:
  void Work() {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock<std::mutex> lock(m_);
        room_.wait(lock, [&] { return stop_ || next_ >= count_ || next_ < taken_ + window_; });
        if (stop_ || next_ >= count_) return;
        i = next_++;
      }
      std::optional<Result> r;
      std::exception_ptr failure;
      try {
        r.emplace(work_(i));
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(m_);
      results_[i] = std::move(r);
      failures_[i] = failure;
      ready_.notify_all();
    }
  }

  const std::size_t count_;
  const std::function<Result(std::size_t)> work_;
  std::vector<std::optional<Result>> results_;
  std::vector<std::exception_ptr> failures_;
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
