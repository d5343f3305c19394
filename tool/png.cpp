#include "tool/png.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <vector>

#include "tool/inputs.h"

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

#define ONDRIX_PNG_GUARD(png) \
  if (setjmp(png_jmpbuf(static_cast<png_structp>(png)))) rethrow();

void PngWriter::rethrow() {
  if (!failure_.empty()) throw ToolError(exitInput, failure_);
  throw ToolError(exitInput, "cannot make the picture: " + pngError);
}

// libpng's output goes through the tool's Output; its exceptions cannot
// cross libpng's C frames, so they are kept and raised again after the jump.
void PngWriter::pngWrite(void* png, std::uint8_t* data, std::size_t size) {
  auto* self = static_cast<PngWriter*>(png_get_io_ptr(static_cast<png_structp>(png)));
  try {
    self->out_.write(std::span(data, size));
  } catch (const std::exception& e) {
    self->failure_ = e.what();
    png_error(static_cast<png_structp>(png), "write failed");
  }
}

PngWriter::PngWriter(Output& out, std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette,
                     const TextChunks& text)
    : out_(out) {
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  info_ = png_create_info_struct(static_cast<png_structp>(png_));
  try {
    start(width, height, palette, text);
  } catch (...) {
    release();
    throw;
  }
}

// The palette and the text are made here, outside the jump of a libpng
// error, which would pass over their destructors.
void PngWriter::start(std::uint32_t width, std::uint32_t height, std::span<const Rgb> palette,
                      const TextChunks& text) {
  std::vector<png_color> colours;
  for (const Rgb& c : palette) colours.push_back({c.r, c.g, c.b});
  std::vector<std::string> words;  // libpng takes char*, and copies
  for (const auto& [key, value] : text) words.insert(words.end(), {key, value});
  std::vector<png_text> chunks(text.size());
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    chunks[k].compression = PNG_TEXT_COMPRESSION_NONE;
    chunks[k].key = words[2 * k].data();
    chunks[k].text = words[2 * k + 1].data();
    chunks[k].text_length = words[2 * k + 1].size();
  }
  writeHeader(width, height, colours.data(), static_cast<int>(colours.size()), chunks.data(), static_cast<int>(chunks.size()));
}

void PngWriter::writeHeader(std::uint32_t width, std::uint32_t height, void* colours, int colourCount, void* chunks,
                            int chunkCount) {
  auto png = static_cast<png_structp>(png_);
  auto info = static_cast<png_infop>(info_);
  ONDRIX_PNG_GUARD(png_);
  png_set_write_fn(
      png, this, [](png_structp p, png_bytep data, png_size_t size) { pngWrite(p, data, size); },
      [](png_structp) {});
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);  // tall pictures are what it is for
  // Space-time pictures are mostly background: the fastest compression
  // still shrinks them many times over.
  png_set_compression_level(png, Z_BEST_SPEED);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, static_cast<png_colorp>(colours), colourCount);
  if (chunkCount > 0) png_set_text(png, info, static_cast<png_textp>(chunks), chunkCount);
  png_write_info(png, info);
}

void PngWriter::row(std::span<const std::uint8_t> indices) {
  ONDRIX_PNG_GUARD(png_);
  png_write_row(static_cast<png_structp>(png_), indices.data());
}

void PngWriter::finish() {
  {
    ONDRIX_PNG_GUARD(png_);
    png_write_end(static_cast<png_structp>(png_), nullptr);
  }
  out_.commit();
}

PngWriter::~PngWriter() { release(); }

void PngWriter::release() {
  auto png = static_cast<png_structp>(png_);
  auto info = static_cast<png_infop>(info_);
  png_destroy_write_struct(&png, &info);
  png_ = info_ = nullptr;
}

}  // namespace ondrix::tool
