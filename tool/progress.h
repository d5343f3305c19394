// A progress bar on standard error, drawn only when it is a terminal.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace ondrix::tool {

class Progress {
 public:
  Progress(std::string what, long total) : what_(std::move(what)), total_(total), shown_(::isatty(STDERR_FILENO)) {}
  ~Progress() {
    if (shown_ && drawn_) std::fprintf(stderr, "\r%*s\r", 60, "");
  }
  void at(long done) {
    if (!shown_ || total_ <= 0) return;
    const int percent = static_cast<int>(100 * done / total_);
    if (percent == percent_) return;
    percent_ = percent;
    drawn_ = true;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", what_.c_str(), std::string(filled, '#').c_str(),
                 std::string(30 - filled, ' ').c_str(), percent);
    std::fflush(stderr);
  }

 private:
  std::string what_;
  long total_;
  bool shown_;
  bool drawn_ = false;
  int percent_ = -1;
};

}  // namespace ondrix::tool
