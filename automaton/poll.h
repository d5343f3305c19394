// One cheap call through which long work reports how far it is and learns
// whether to stop. The front end holds the Poll, hands it to the job and
// may cancel it from any thread; the job checks it between units of work,
// stops promptly, and throws Cancelled, so that nothing half-done (a file
// among them) is ever taken for a result.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>

namespace ondrix {

struct Cancelled : std::runtime_error {
  Cancelled() : std::runtime_error("cancelled") {}
};

class Poll {
 public:
  // Called with the work done and the work in all, one call at a time.
  using Report = std::function<void(std::int64_t done, std::int64_t total)>;

  Poll() = default;
  explicit Poll(Report report) : report_(std::move(report)) {}
  // A poll for a part of a job that reports nothing of its own and is
  // cancelled whenever `follows` is (which must outlive it).
  explicit Poll(const Poll* follows) : follows_(follows) {}
  // A part that reports in its own way (to the whole job's count, say).
  Poll(Report report, const Poll* follows) : report_(std::move(report)), follows_(follows) {}

  // From any thread: the job stops at its next check.
  void cancel() noexcept { cancelled_.store(true, std::memory_order_relaxed); }
  bool cancelled() const noexcept {
    return cancelled_.load(std::memory_order_relaxed) || (follows_ && follows_->cancelled());
  }

  // Reports progress, from any thread; says whether to go on.
  bool operator()(std::int64_t done, std::int64_t total) {
    if (report_) {
      const std::lock_guard<std::mutex> lock(reporting_);
      report_(done, total);
    }
    return !cancelled();
  }

 private:
  std::atomic<bool> cancelled_{false};
  Report report_;
  const Poll* follows_ = nullptr;
  std::mutex reporting_;
};

// For the end of a job: throws Cancelled when the poll was cancelled.
inline void throwIfCancelled(const Poll* poll) {
  if (poll && poll->cancelled()) throw Cancelled();
}

}  // namespace ondrix
