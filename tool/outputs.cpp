#include "tool/outputs.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tool/inputs.h"

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

}  // namespace

void requireWritable(const std::string& path) {
  if (path.empty() || isStandardOutput(path)) return;
  const std::string problem = outputProblem(path);
  if (!problem.empty()) {
    throw ToolError(exitInput, "cannot write " + path + ": " + problem +
                                   (problem.rfind("is a", 0) == 0 ? " (use - for standard output)" : ""));
  }
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
  // Every thread started later inherits the mask, so only the watcher below
  // takes these signals, outside of any handler: it may lock and remove files.
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  std::thread([stops] {
    int signal = 0;
    while (sigwait(&stops, &signal) != 0) {
    }
    abandonAllWrites();
    const char* text = signal == SIGINT ? "ondrix-tool: interrupted\n" : "ondrix-tool: terminated\n";
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text, std::strlen(text));
    ::_exit(128 + signal);
  }).detach();
}

CLI::Validator wholeNumber(long long least, long long most) {
  const std::string range = std::to_string(least) + " to " + std::to_string(most);
  return CLI::Validator(
      [least, most, range](std::string& text) -> std::string {
        const bool digits = !text.empty() && text.size() <= 18 &&
                            text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0) == std::string::npos &&
                            text != "-";
        if (!digits) return "expected a whole number from " + range + ", not '" + text + "'";
        const long long value = std::stoll(text);
        if (value < least || value > most) return "expected a whole number from " + range + ", not " + text;
        return {};
      },
      "INT in " + range);
}

}  // namespace ondrix::tool
