#include "tool/png.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>
#include <vector>

namespace ondrix::tool {

// libpng reports an error by jumping back to the setjmp of the call that
// met it; each call turns that into an exception.
#define ONDRIX_PNG_GUARD(png)                                              \
  if (setjmp(png_jmpbuf(static_cast<png_structp>(png)))) {                 \
    throw std::runtime_error("cannot write " + path_);                     \
  }

PngWriter::PngWriter(const std::string& path, std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette)
    : path_(path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_ = png;
  info_ = info;
  ONDRIX_PNG_GUARD(png_);
  png_init_io(png, file_);
  // Space-time pictures are mostly background: the fastest compression
  // still shrinks them many times over.
  png_set_compression_level(png, Z_BEST_SPEED);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colours;
  for (const Rgb& c : palette) colours.push_back({c.r, c.g, c.b});
  png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
  png_write_info(png, info);
}

void PngWriter::row(std::span<const std::uint8_t> indices) {
  ONDRIX_PNG_GUARD(png_);
  png_write_row(static_cast<png_structp>(png_), indices.data());
}

void PngWriter::finish() {
  ONDRIX_PNG_GUARD(png_);
  png_write_end(static_cast<png_structp>(png_), nullptr);
  finished_ = true;
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  if (!flushed) throw std::runtime_error("cannot write " + path_);
}

PngWriter::~PngWriter() {
  auto png = static_cast<png_structp>(png_);
  auto info = static_cast<png_infop>(info_);
  png_destroy_write_struct(&png, &info);
  if (file_) std::fclose(file_);
  if (!finished_) std::remove(path_.c_str());
}

}  // namespace ondrix::tool
