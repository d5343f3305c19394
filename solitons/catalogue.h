// The soliton catalogue: twelve types of pattern code, period and shift,
// with room for the findings of a soliton search, and its file "Sol.dat".
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "ondrix/datafiles/files.h"

namespace ondrix {

inline constexpr int catalogueCapacity = 5000;
inline constexpr int catalogueTypes = 12;
inline constexpr int catalogueImageSize = 3 * 4 * catalogueTypes;  // 144 bytes

struct Catalogue {
  std::array<std::int32_t, catalogueCapacity> solitonCode{};    // least code over a period
  std::array<std::int32_t, catalogueCapacity> solitonPeriod{};  // generations until it recurs
  std::array<std::int32_t, catalogueCapacity> solitonShift{};   // cells moved towards higher indices
  std::int32_t Nsol = 0;         // entries recorded by the last search
  std::int32_t Nstrun = 0;       // seeds the last search rejected for spreading
  std::int32_t strangeSeen = 0;  // 1 when the last search rejected any seed
};

inline const std::string solitonFileName = "Sol.dat";

// Entries 0..11 as the file image: codes, periods, shifts, each twelve
// signed 32-bit little-endian integers.
std::array<std::uint8_t, catalogueImageSize> catalogueImage(const Catalogue& c);

// Replaces the first bytes of the image of entries 0..11 with prefix; bytes
// beyond the prefix keep their values.
void applyCatalogueImage(Catalogue& c, const std::uint8_t* prefix, std::size_t size);

// "Read Sol (20)": loads entries 0..11 from the file, undoing the line-end
// translation. A file that gives nothing (missing, empty, not a regular
// file) changes nothing and fails, saying why; a short one fills the
// leading bytes.
ReadOutcome readSolitonFile(const std::string& name, Catalogue& c);

// The same from the stored bytes of such a file (its first 288 bytes count).
void decodeSolitonFile(std::span<const std::uint8_t> stored, Catalogue& c);

// "Save solitons": writes entries 0..11 with the line-end translation.
WriteOutcome writeSolitonFile(const std::string& name, const Catalogue& c);

struct RingDisplay;

// writeSolitonFile of "Sol.dat", the outcome shown in the status bar.
void saveSolitons(const Catalogue& c, RingDisplay& display);

// Cells moved per 400 generations: trunc(400 x shift / period) in double
// precision; 0 for a period of 0, and held within 32 bits.
std::int32_t solitonSpeed(std::int32_t shift, std::int32_t period);

// "Change": exchanges rows `first` and `second` of the codes, periods and
// shifts. A row outside 0..4999 leaves everything as it is; returns whether
// the rows were exchanged.
bool swapCatalogueRows(Catalogue& c, std::int32_t first, std::int32_t second);

}  // namespace ondrix
