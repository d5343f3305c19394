#include "ondrix/automaton/workers.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace ondrix {

namespace {

// How long a thread that waits keeps checking before it sleeps.
constexpr auto watchful = std::chrono::milliseconds(2);

template <typename Done>
bool waitAwhile(Done done) {
  const auto until = std::chrono::steady_clock::now() + watchful;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

class Helpers {
 public:
  ~Helpers() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  void run(unsigned threads, const std::function<void()>& work) {
    const std::lock_guard<std::mutex> oneJob(jobMutex_);
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      while (threads_.size() + 1 < threads) threads_.emplace_back([this] { serve(); });
      job_ = &work;
      wanted_ = threads - 1;
      taken_ = 0;
      running_.store(threads - 1);
      epoch_.fetch_add(1);
    }
    wake_.notify_all();
    guarded(work);
    if (!waitAwhile([this] { return running_.load() == 0; })) {
      std::unique_lock<std::mutex> lock(mutex_);
      finished_.wait(lock, [this] { return running_.load() == 0; });
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  // Runs the work; what it throws is kept for the caller.
  void guarded(const std::function<void()>& work) {
    try {
      work();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
    }
  }

  void serve() {
    std::uint64_t seen = 0;
    for (;;) {
      waitAwhile([&] { return epoch_.load() != seen; });
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || epoch_.load() != seen; });
      if (stopping_) return;
      seen = epoch_.load();
      if (taken_ == wanted_) continue;  // enough helpers have it
      taken_ += 1;
      const std::function<void()>* job = job_;
      lock.unlock();
      guarded(*job);
      if (running_.fetch_sub(1) == 1) {
        const std::lock_guard<std::mutex> relock(mutex_);
        finished_.notify_all();
      }
    }
  }

  std::mutex jobMutex_;
  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::vector<std::thread> threads_;
  const std::function<void()>* job_ = nullptr;
  unsigned wanted_ = 0, taken_ = 0;
  std::atomic<unsigned> running_{0};
  std::atomic<std::uint64_t> epoch_{0};
  bool stopping_ = false;
  std::exception_ptr failure_;  // the first exception of the job
};

}  // namespace

void runOnThreads(unsigned threads, const std::function<void()>& work) {
  if (threads <= 1) {
    work();
    return;
  }
  static Helpers helpers;
  helpers.run(threads, work);
}

std::uint64_t physicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
  return pages > 0 && size > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) : 0;
}

}  // namespace ondrix
