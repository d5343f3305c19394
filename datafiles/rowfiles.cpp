#include "ondrix/datafiles/rowfiles.h"

#include <algorithm>
#include <array>
#include <span>

#include "ondrix/automaton/automaton.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/automaton/display.h"

namespace ondrix {

RowLoadResult decodeRow(const std::string& name, std::span<const std::uint8_t> row, AutomatonState& ring) {
  row = row.first(std::min(row.size(), static_cast<std::size_t>(std::max(ring.ringLength, 0))));
  const auto bad = std::find_if(row.begin(), row.end(), [](std::uint8_t b) { return b > stateA; });
  if (bad != row.end()) {
    const auto cell = bad - row.begin();
    return {RowLoad::rejected, "Could not read " + name + ": cell " + std::to_string(cell) + " holds " +
                                   std::to_string(*bad) + ", not a state 0, 1 or 2"};
  }
  std::copy(row.begin(), row.end(), ring.cells.begin());
  return {RowLoad::loaded, {}};
}

RowLoadResult readRowFile(const std::string& name, AutomatonState& ring) {
  std::array<std::uint8_t, ringCapacity> row;
  const ReadOutcome read = readFile(name, std::span(row.data(), static_cast<std::size_t>(ring.ringLength)));
  if (!read) return {RowLoad::missing, "Could not read " + read.failure};
  return decodeRow(name, std::span(row.data(), read.got), ring);
}

RowLoad loadRowFile(const std::string& name, AutomatonState& ring, RingDisplay& display) {
  const RowLoadResult r = readRowFile(name, ring);
  display.showFileOutcome(FileKind::load, r.message);
  return r.outcome;
}

WriteOutcome writeRowFile(const std::string& name, const AutomatonState& ring) {
  return writeWhole(name, std::span(ring.cells.data(), static_cast<std::size_t>(ring.ringLength)));
}

}  // namespace ondrix
