#include "datafiles/recording.h"

#include "datafiles/files.h"

namespace ondrix {

namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int b = 0; b < 4; ++b) out[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
}

std::uint32_t get32(const FrameTemplate& f, std::size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (static_cast<std::uint32_t>(f[at + 3]) << 24);
}

std::uint32_t get16(const FrameTemplate& f, std::size_t at) { return f[at] | (f[at + 1] << 8); }

constexpr std::uint32_t headerSize = 54;
constexpr std::uint32_t pixelBytes = captureRowBytes * captureHeight;

}  // namespace

std::vector<std::uint8_t> makeFrameTemplate(Rgb fill) {
  std::vector<std::uint8_t> bmp(headerSize + pixelBytes, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(bmp, 2, headerSize + pixelBytes);  // file size
  put32(bmp, 10, headerSize);              // pixel-data offset
  put32(bmp, 14, 40);                      // information header size
  put32(bmp, 18, captureWidth);
  put32(bmp, 22, captureHeight);  // positive: rows bottom-up
  bmp[26] = 1;                    // planes
  bmp[28] = 24;                   // bits per pixel
  put32(bmp, 34, pixelBytes);
  put32(bmp, 38, 2835);  // 72 dots per inch
  put32(bmp, 42, 2835);
  for (std::uint32_t p = headerSize; p < bmp.size(); p += 3) {
    bmp[p] = fill.b;
    bmp[p + 1] = fill.g;
    bmp[p + 2] = fill.r;
  }
  return bmp;
}

std::optional<std::size_t> readFrameTemplate(FrameTemplate& frame) { return readPrefix(frameTemplateName, frame); }

std::uint32_t pixelDataOffset(const FrameTemplate& frame) { return get32(frame, 10); }

bool isFrameTemplate(const FrameTemplate& frame) {
  const std::uint32_t offset = pixelDataOffset(frame);
  return frame[0] == 'B' && frame[1] == 'M' && static_cast<std::int32_t>(get32(frame, 18)) == captureWidth &&
         static_cast<std::int32_t>(get32(frame, 22)) == captureHeight && get16(frame, 28) == 24 &&
         get32(frame, 30) == 0 && offset >= headerSize && offset + pixelBytes <= frameTemplateSize;
}

}  // namespace ondrix
