// A PNG picture written a row at a time, with a palette of up to 256
// colours: a picture of any height in the memory of one row. It goes to a
// tool Output, so a file is whole or not there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ondrix/automaton/rgb.h"
#include "tool/outputs.h"

namespace ondrix::tool {

class PngWriter {
 public:
  // Starts the picture on `out` (which must outlive the writer), with the
  // text chunks (keyword, text) before the rows; throws a ToolError when it
  // cannot.
  using TextChunks = std::vector<std::pair<std::string, std::string>>;
  PngWriter(Output& out, std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette,
            const TextChunks& text = {});
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  // The next row: width palette indices.
  void row(std::span<const std::uint8_t> indices);
  // Ends the picture and commits the output; throws when it could not be
  // written. A writer dropped before it finished leaves no file behind.
  void finish();

 private:
  void start(std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette, const TextChunks& text);
  void writeHeader(std::uint32_t width, std::uint32_t height, void* colours, int colourCount, void* chunks, int chunkCount);
  [[noreturn]] void rethrow();
  void release();
  static void pngWrite(void* png, std::uint8_t* data, std::size_t size);

  Output& out_;
  void* png_ = nullptr;
  void* info_ = nullptr;
  std::string failure_;  // the output's failure, carried across libpng
};

}  // namespace ondrix::tool
