// A PNG file written a row at a time, with a palette of up to 256 colours:
// a picture of any height in the memory of one row.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "automaton/rgb.h"

namespace ondrix::tool {

class PngWriter {
 public:
  // Opens the file; throws std::runtime_error when it cannot.
  PngWriter(const std::string& path, std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette);
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  // The next row: width palette indices.
  void row(std::span<const std::uint8_t> indices);
  // Ends the file; throws when it could not be written. A writer destroyed
  // before it finished removes its file.
  void finish();

 private:
  void start(std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette);
  void close();

  std::FILE* file_ = nullptr;
  void* png_ = nullptr;
  void* info_ = nullptr;
  std::string path_;
  bool finished_ = false;
};

}  // namespace ondrix::tool
