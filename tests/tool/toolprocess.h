// ondrix-tool as a process: run through the shell and read whole, or
// started directly so that a test can signal it. ONDRIX_TOOL_UNDER_TEST in
// the environment runs another build of the tool (an older one, to see a
// test fail before a change).
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/testsupport.h"

extern char** environ;

namespace ondrix::testing {

inline std::string toolPath() {
  const char* other = std::getenv("ONDRIX_TOOL_UNDER_TEST");
  return other && *other ? other : ONDRIX_TOOL;
}

struct Result {
  int code;
  std::string out, err;
};

// Runs a shell command in the working folder; its standard error is kept.
inline Result shell(const std::string& line) {
  const std::string command = "{ " + line + " ; } 2>stderr.txt";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  const auto err = fileBytes("stderr.txt");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, std::string(err.begin(), err.end())};
}

// Runs the tool with the arguments through the shell, in the working folder.
inline Result tool(const std::string& args) { return shell(toolPath() + " " + args); }

// The same, ended after `seconds` (exit 124) if it has not finished.
inline Result toolWithin(int seconds, const std::string& args) {
  return shell("timeout " + std::to_string(seconds) + " " + toolPath() + " " + args);
}

// Starts the tool with these arguments, its output and messages discarded.
inline pid_t startTool(const std::vector<std::string>& args) {
  std::vector<std::string> words = {toolPath()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit code, or 128 + the signal that ended it.
inline int waitForTool(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace ondrix::testing
