#include "tool/outputs.h"

#include <algorithm>
#include <cctype>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tool/inputs.h"
#include "tool/progress.h"

namespace ondrix::tool {

namespace {

void writeStandardOutput(std::span<const std::uint8_t> bytes) {
  std::fflush(stdout);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ToolError(exitInput, std::string("cannot write to standard output: ") + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
}

std::atomic<bool> stopping{false};

// The job whose bar hears the poll, and the hand-over at a signal: the
// main thread says when it has wound down (its writes abandoned as their
// writers went out of scope).
std::mutex jobs;
Job* currentJob = nullptr;
std::mutex handing;
std::condition_variable handed;
bool mainStopped = false;

}  // namespace

Poll& toolPoll() {
  static Poll poll([](std::int64_t done, std::int64_t total) {
    const std::lock_guard lock(jobs);
    if (currentJob) currentJob->report(done, total);
  });
  return poll;
}

Job::Job(std::string what, long total, std::string unit, Show show)
    : bar_(std::move(what), total, std::move(unit)), show_(std::move(show)) {
  const std::lock_guard lock(jobs);
  currentJob = this;
}

Job::~Job() {
  const std::lock_guard lock(jobs);
  currentJob = nullptr;
}

void Job::report(std::int64_t done, std::int64_t total) {
  if (show_) return show_(bar_, done, total);
  bar_.at(static_cast<long>(done), static_cast<long>(total));
}

void requireWritable(const std::string& path, bool named) {
  if (path.empty()) return;
  if (isStandardOutput(path)) {
    if (::isatty(STDOUT_FILENO)) throw ToolError(exitUsage, "standard output is a terminal: send it to a file or a pipe");
    return;
  }
  const std::string problem = outputProblem(path);
  if (!problem.empty()) {
    const bool hint = named && (problem.rfind("is a ", 0) == 0 || problem.rfind("is a process", 0) == 0);
    throw ToolError(exitInput, "cannot write " + path + ": " + problem + (hint ? " (use - for standard output)" : ""));
  }
}

CLI::Validator aName() {
  return CLI::Validator([](std::string& text) { return text.empty() ? std::string("an empty name") : std::string(); },
                        "NAME");
}

namespace {

bool endsWithFolded(const std::string& name, const std::string& tail) {
  if (name.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char t, char n) { return t == std::tolower(static_cast<unsigned char>(n)); });
}

}  // namespace

bool svgName(const std::string& path) { return endsWithFolded(path, ".svg"); }

CLI::Validator figureName() {
  return CLI::Validator(
      [](std::string& text) {
        return text == "-" || endsWithFolded(text, ".png") || endsWithFolded(text, ".svg")
                   ? std::string()
                   : "a figure is FILE.png or FILE.svg (or - for PNG on standard output), not " + text;
      },
      "FILE.png|FILE.svg");
}

CLI::Validator pngName() {
  return CLI::Validator(
      [](std::string& text) {
        return text.empty() ? std::string("an empty name")
               : svgName(text) ? "--png writes PNG; --figure " + text + " writes SVG"
                               : std::string();
      },
      "NAME");
}

Output::Output(const std::string& path) : path_(path) {
  if (isStandardOutput(path)) return;
  requireWritable(path);
  file_ = std::make_unique<SafeFile>(path);
  if (!file_->failure().empty()) throw ToolError(exitInput, "cannot write " + file_->failure());
}

void Output::write(std::span<const std::uint8_t> bytes) {
  if (!file_) return writeStandardOutput(bytes);
  if (!file_->write(bytes)) throw ToolError(exitInput, "cannot write " + file_->failure());
}

void Output::commit() {
  if (!file_) return;
  const WriteOutcome done = file_->commit();
  if (!done) throw ToolError(exitInput, "cannot write " + done.failure);
}

void writeOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
  Output out(path);
  out.write(bytes);
  out.commit();
}

void finishStandardOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    std::clearerr(stdout);
    throw ToolError(exitInput, std::string("cannot write to standard output: ") + std::strerror(error));
  }
}

void handleSignals() {
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGHUP);
  // Every thread started later inherits the mask, so only the watcher below
  // takes these signals, outside of any handler: it may lock and remove files.
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  std::thread([stops] {
    int signal = 0;
    while (sigwait(&stops, &signal) != 0) {
    }
    stopping = true;
    // The work stops at its next poll and unwinds, which removes what it
    // was writing; what does not poll (a last write) is cut short here.
    toolPoll().cancel();
    {
      std::unique_lock lock(handing);
      handed.wait_for(lock, std::chrono::seconds(2), [] { return mainStopped; });
    }
    abandonAllWrites();
    std::fflush(stdout);  // what was printed before the signal stays printed
    const char* text = signal == SIGINT ? "\nondrix-tool: interrupted\n"
                       : signal == SIGHUP ? "\nondrix-tool: hung up\n"
                                          : "\nondrix-tool: terminated\n";
    if (!::isatty(STDERR_FILENO)) ++text;  // the blank line ends a progress bar's line on a terminal
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text, std::strlen(text));
    ::_exit(128 + signal);
  }).detach();
}

void awaitSignalStop() {
  if (!stopping) return;
  {
    const std::lock_guard lock(handing);
    mainStopped = true;
  }
  handed.notify_one();
  for (;;) ::pause();  // signals are blocked here: the watcher's _exit ends the wait
}

CLI::Validator wholeNumber(long long least, long long most) {
  const std::string range = std::to_string(least) + " to " + std::to_string(most);
  return CLI::Validator(
      [least, most, range](std::string& text) -> std::string {
        const bool digits = !text.empty() && text.size() <= 18 &&
                            text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0) == std::string::npos &&
                            text != "-";
        if (!digits) return "expected a whole number from " + range + ", not '" + text + "'";
        // Decimal whatever the leading zeros ("010" is ten, never eight).
        const std::size_t sign = text[0] == '-' ? 1 : 0;
        const std::size_t zeros = std::min(text.find_first_not_of('0', sign), text.size() - 1) - sign;
        text.erase(sign, zeros);
        const long long value = std::stoll(text);
        if (value < least || value > most) return "expected a whole number from " + range + ", not " + text;
        return {};
      },
      "INT in " + range);
}

}  // namespace ondrix::tool
