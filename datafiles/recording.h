// Frame recording files: the bitmap template "data/filedem.bmp" that every
// frame copies, and the frame file names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automaton/rgb.h"

namespace ondrix {

inline constexpr std::int32_t captureWidth = 792;
inline constexpr std::int32_t captureHeight = 32;
inline constexpr std::int32_t captureRowBytes = 3 * captureWidth;  // 2376, no padding
inline constexpr std::size_t frameTemplateSize = 256000;
inline const std::string frameTemplateName = "data/filedem.bmp";

using FrameTemplate = std::array<std::uint8_t, frameTemplateSize>;

// A 24-bit bitmap of 792 x 32 pixels, bottom-up, every pixel `fill`, with
// its pixel data at offset 54.
std::vector<std::uint8_t> makeFrameTemplate(Rgb fill);

// Reads up to 256000 bytes of the template into `frame`; the rest keeps its
// bytes. Returns the bytes read, or nothing when the template is missing.
std::optional<std::size_t> readFrameTemplate(FrameTemplate& frame);

// The pixel-data offset, the unsigned 32-bit value at byte 10.
std::uint32_t pixelDataOffset(const FrameTemplate& frame);

// Whether the bytes start a bitmap the frames can use: "BM", 792 x 32
// pixels, 24 bits, uncompressed, pixel data inside the 256000 bytes.
bool isFrameTemplate(const FrameTemplate& frame);

}  // namespace ondrix
