#include "ondrix/solitons/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ondrix/datafiles/files.h"
#include "ondrix/automaton/display.h"

namespace ondrix {

namespace {

// Visits the three arrays in the order of their blocks in the file.
template <typename C, typename F>
void forEachBlock(C& c, F visit) {
  visit(c.solitonCode);
  visit(c.solitonPeriod);
  visit(c.solitonShift);
}

}  // namespace

std::array<std::uint8_t, catalogueImageSize> catalogueImage(const Catalogue& c) {
  std::array<std::uint8_t, catalogueImageSize> image{};
  std::size_t at = 0;
  forEachBlock(c, [&](const auto& block) {
    for (int k = 0; k < catalogueTypes; ++k) {
      const auto v = static_cast<std::uint32_t>(block[k]);
      for (int b = 0; b < 4; ++b) image[at++] = static_cast<std::uint8_t>(v >> (8 * b));
    }
  });
  return image;
}

void applyCatalogueImage(Catalogue& c, const std::uint8_t* prefix, std::size_t size) {
  auto image = catalogueImage(c);
  std::memcpy(image.data(), prefix, std::min(size, image.size()));
  std::size_t at = 0;
  forEachBlock(c, [&](auto& block) {
    for (int k = 0; k < catalogueTypes; ++k, at += 4) {
      const std::uint32_t v = image[at] | (image[at + 1] << 8) | (image[at + 2] << 16) |
                              (static_cast<std::uint32_t>(image[at + 3]) << 24);
      block[k] = static_cast<std::int32_t>(v);
    }
  });
}

void decodeSolitonFile(std::span<const std::uint8_t> stored, Catalogue& c) {
  std::array<std::uint8_t, catalogueImageSize> image{};
  const std::size_t decoded = untranslateLineEnds(stored, image);
  applyCatalogueImage(c, image.data(), decoded);
}

ReadOutcome readSolitonFile(const std::string& name, Catalogue& c) {
  // Every image byte takes at most two stored bytes.
  std::array<std::uint8_t, 2 * catalogueImageSize> stored{};
  const ReadOutcome read = readFile(name, stored);
  if (read) decodeSolitonFile(std::span(stored.data(), read.got), c);
  return read;
}

WriteOutcome writeSolitonFile(const std::string& name, const Catalogue& c) {
  return writeWhole(name, translateLineEnds(catalogueImage(c)));
}

void saveSolitons(const Catalogue& c, RingDisplay& display) {
  const bool written = writeSolitonFile(solitonFileName, c);
  display.showFileOutcome(FileKind::write, written ? std::string() : "Could not write " + solitonFileName);
}

std::int32_t solitonSpeed(std::int32_t shift, std::int32_t period) {
  if (period == 0) return 0;
  const double speed = std::trunc(400.0 * shift / period);
  return static_cast<std::int32_t>(std::clamp(speed, -2147483648.0, 2147483647.0));
}

bool swapCatalogueRows(Catalogue& c, std::int32_t first, std::int32_t second) {
  auto inside = [](std::int32_t row) { return row >= 0 && row < catalogueCapacity; };
  if (!inside(first) || !inside(second)) return false;
  for (auto* column : {&c.solitonCode, &c.solitonPeriod, &c.solitonShift}) {
    std::swap((*column)[static_cast<std::size_t>(first)], (*column)[static_cast<std::size_t>(second)]);
  }
  return true;
}

}  // namespace ondrix
