// Progress of a long job on standard error: a bar on a terminal, redrawn
// when the percentage changes; otherwise (a log, GNU parallel, nohup) a
// line every 10 seconds. Jobs done within a second show nothing. A Job
// joins a bar to the poll that Ctrl-C cancels.
#pragma once

#include <unistd.h>

#include <chrono>
#include <functional>
#include <cstdio>
#include <mutex>
#include <string>

#include "ondrix/automaton/poll.h"

namespace ondrix::tool {

class Progress {
 public:
  static inline bool quiet = false;  // --quiet: nothing on standard error
  Progress(std::string what, long total, std::string unit = {})
      : what_(std::move(what)), unit_(std::move(unit)), total_(total), terminal_(::isatty(STDERR_FILENO)) {}
  ~Progress() { clear(); }
  // May be called from several worker threads at once.
  void at(long done) {
    const std::lock_guard guard(lock_);
    advance(done);
  }
  // For jobs that learn their total as they go.
  void at(long done, long total) {
    const std::lock_guard guard(lock_);
    total_ = total;
    advance(done);
  }
  // Takes the bar off the terminal line, before other text is printed; it
  // comes back with the next percent.
  void clear() {
    const std::lock_guard guard(lock_);
    erase();
  }

 private:
  void advance(long done) {
    if (total_ <= 0 || quiet) return;
    if (done >= total_) return erase();  // the bar goes before the results are printed
    const int percent = static_cast<int>(100 * done / total_);
    if (percent == percent_) return;  // the clock is read once a percent at most
    percent_ = percent;
    const auto now = Clock::now();
    if (now - started_ < std::chrono::seconds(1)) return;
    if (terminal_) {
      drawn_ = true;
      const int filled = percent * 30 / 100;
      std::fprintf(stderr, "\r%s [%s%s] %3d%%", what_.c_str(), std::string(filled, '#').c_str(),
                   std::string(30 - filled, ' ').c_str(), percent);
      std::fflush(stderr);
    } else if (now - lastLine_ >= std::chrono::seconds(10)) {
      lastLine_ = now;
      const auto elapsed = std::chrono::duration<double>(now - started_).count();
      const long left = done > 0 ? static_cast<long>(elapsed * static_cast<double>(total_ - done) / done) : 0;
      std::fprintf(stderr, "%s: %d%% (%s of %s%s%s), %ldm%02lds left\n", what_.c_str(), percent, count(done).c_str(),
                   count(total_).c_str(), unit_.empty() ? "" : " ", unit_.c_str(), left / 60, left % 60);
    }
  }

  // 41000, 312k, 774M: as many digits as a reader takes in at a glance.
  static std::string count(long n) {
    if (n < 100000) return std::to_string(n);
    if (n < 100000000) return std::to_string((n + 500) / 1000) + "k";
    return std::to_string((n + 500000) / 1000000) + "M";
  }

  void erase() {
    if (drawn_) std::fprintf(stderr, "\r%*s\r", 60, "");
    drawn_ = false;
    percent_ = -1;
  }

  using Clock = std::chrono::steady_clock;
  std::string what_, unit_;
  long total_;
  bool terminal_;
  bool drawn_ = false;
  int percent_ = -1;
  std::mutex lock_;
  Clock::time_point started_ = Clock::now(), lastLine_ = started_;
};

// The one poll of the tool's work: SIGINT, SIGTERM and SIGHUP cancel it.
// It lives as long as the process, so the signal watcher may always reach it.
Poll& toolPoll();

// The job under way: the poll's reports go to its bar, through `show` when
// the job counts in its own way. One at a time.
class Job {
 public:
  using Show = std::function<void(Progress&, std::int64_t done, std::int64_t total)>;
  Job(std::string what, long total, std::string unit = {}, Show show = {});
  ~Job();
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;
  Poll* poll() { return &toolPoll(); }
  Progress& bar() { return bar_; }
  void report(std::int64_t done, std::int64_t total);

 private:
  Progress bar_;
  Show show_;
};

}  // namespace ondrix::tool
