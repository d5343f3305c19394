// Row files: "line.dat", the examples "Exp1.dat".."Exp8.dat" and the ghost
// row "tgho.dat" hold one cell state (0, 1 or 2) per byte, cell 0 first, as
// many bytes as the ring had cells when the row was written.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "ondrix/datafiles/files.h"

namespace ondrix {

struct AutomatonState;
struct RingDisplay;

inline const std::string lineFileName = "line.dat";

enum class RowLoad {
  loaded,    // up to ringLength cells from the file, the rest as they were
  missing,   // nothing read (no such file, empty, not a regular file): the ring is unchanged
  rejected,  // a byte that is no cell state: the ring is unchanged
};

struct RowLoadResult {
  RowLoad outcome;
  std::string message;  // for the status bar when missing or rejected
};

// Reads up to ringLength bytes into cells 0, 1, ...; a file holding any byte
// other than 0, 1 or 2 among them is refused whole.
RowLoadResult readRowFile(const std::string& name, AutomatonState& ring);

// The same from bytes already read (at most ringLength of them count);
// `name` is for the message.
RowLoadResult decodeRow(const std::string& name, std::span<const std::uint8_t> row, AutomatonState& ring);

// readRowFile, with its outcome shown: a file that could not be read or
// was refused says why in the status bar ("Could not read line.dat: no
// such file"), a loaded one takes away an earlier load failure.
RowLoad loadRowFile(const std::string& name, AutomatonState& ring, RingDisplay& display);

// Writes exactly ringLength bytes, cell 0 first.
WriteOutcome writeRowFile(const std::string& name, const AutomatonState& ring);

}  // namespace ondrix
