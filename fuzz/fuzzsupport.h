// What the fuzz targets share: a private working folder, a file made from
// the input, and a check that stops the run with a message when an
// invariant fails.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>

#include "datafiles/files.h"

namespace ondrix::fuzz {

// Each fuzzing process works in a folder of its own, made once.
inline void enterScratchFolder() {
  static const bool entered = [] {
    const auto folder = std::filesystem::temp_directory_path() / ("ondrix-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "data");
    std::filesystem::create_directories(folder / "video");
    std::filesystem::current_path(folder);
    return true;
  }();
  (void)entered;
}

inline void putInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  if (!writeWhole(name, std::span(data, size))) {
    std::fprintf(stderr, "could not write %s\n", name.c_str());
    std::abort();
  }
}

#define ONDRIX_CHECK(condition)                                                    \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)

}  // namespace ondrix::fuzz
