// Where the tool's results go: files, written whole through the core's safe
// writer or not at all, and standard output for "-"; what happens on
// Ctrl-C, SIGTERM and a closed pipe; and whole numbers on the command line.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ondrix/datafiles/files.h"

namespace ondrix::tool {

// "-": standard output, the one way to write to a pipe.
inline bool isStandardOutput(const std::string& path) { return path == "-"; }

// Throws a ToolError (exit 2) naming the path and the cause when nothing
// can be written there; an empty path (no output asked for) and "-" pass.
// Called before the work, so that a long job is not lost at its end.
// `named`: the user named the output (so "-" is worth suggesting). "-"
// itself is refused when standard output is a terminal.
void requireWritable(const std::string& path, bool named = true);

// A CLI11 check that an output's name is not empty.
CLI::Validator aName();
// A figure's name: FILE.png or FILE.svg (either case), or - for PNG on
// standard output; and a PNG's, which must not end in .svg.
CLI::Validator figureName();
CLI::Validator pngName();
bool svgName(const std::string& path);

// One output: a SafeFile at the path, or standard output for "-". Failures
// throw a ToolError with the cause. Dropped before commit(), a file output
// leaves the target as it was.
class Output {
 public:
  explicit Output(const std::string& path);
  void write(std::span<const std::uint8_t> bytes);
  void commit();

 private:
  std::string path_;
  std::unique_ptr<SafeFile> file_;
};

// A whole output at once.
void writeOutput(const std::string& path, std::span<const std::uint8_t> bytes);

// Flushes standard output; a reader that went away (EPIPE) or a full disk
// is a ToolError with the cause.
void finishStandardOutput();

// From here on SIGINT, SIGTERM and SIGHUP cancel the tool's poll, and end
// the tool with one line and exit 130, 143 or 129 once the work has
// stopped (two seconds at most), after removing every temporary file and
// folder of the writes in progress (the targets stay as they were); SIGPIPE no longer
// kills it, so writes to a closed pipe fail with their cause. Call first
// thing in main, before any thread starts.
void handleSignals();

// Called as the tool ends: when a signal is being handled (a write that
// failed because it was abandoned, say), waits for the handling to end the
// tool with 130 or 143 instead of ending it with another code.
void awaitSignalStop();

// A CLI11 check: a plain decimal whole number from `least` to `most`
// ("1e3", "0x10", "+5" and "12abc" are refused as what they are).
CLI::Validator wholeNumber(long long least, long long most);

}  // namespace ondrix::tool
