#include "tool/png.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>
#include <vector>

namespace ondrix::tool {

namespace {

// libpng reports an error by calling this, which keeps its text and jumps
// back to the setjmp of the call that met it; the call turns it into an
// exception. Warnings are dropped.
thread_local std::string pngError;

void onError(png_structp png, png_const_charp message) {
  pngError = message;
  png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

}  // namespace

#define ONDRIX_PNG_GUARD(png)                                   \
  if (setjmp(png_jmpbuf(static_cast<png_structp>(png)))) {      \
    throw std::runtime_error("cannot write " + path_ + ": " + pngError); \
  }

PngWriter::PngWriter(const std::string& path, std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette)
    : path_(path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) throw std::runtime_error("cannot write " + path);
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  info_ = png_create_info_struct(static_cast<png_structp>(png_));
  try {
    start(width, height, palette);
  } catch (...) {
    close();
    throw;
  }
}

void PngWriter::start(std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette) {
  auto png = static_cast<png_structp>(png_);
  auto info = static_cast<png_infop>(info_);
  ONDRIX_PNG_GUARD(png_);
  png_init_io(png, file_);
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);  // tall pictures are what it is for
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
  if (std::fflush(file_) != 0 || std::ferror(file_)) throw std::runtime_error("cannot write " + path_);
  finished_ = true;
}

void PngWriter::close() {
  auto png = static_cast<png_structp>(png_);
  auto info = static_cast<png_infop>(info_);
  png_destroy_write_struct(&png, &info);
  png_ = info_ = nullptr;
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!finished_) std::remove(path_.c_str());
}

PngWriter::~PngWriter() { close(); }

}  // namespace ondrix::tool
