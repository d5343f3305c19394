// Rule-table files: "solCA.dat" and "ca.dat" hold the 162 entries of the
// rule table, "Exr.dat" the 54 entries of the auxiliary table, one raw byte
// per entry, no header.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "ondrix/automaton/automaton.h"
#include "ondrix/datafiles/files.h"

namespace ondrix {

inline constexpr int auxRuleTableSize = 54;
using AuxRuleTable = std::array<std::uint8_t, auxRuleTableSize>;

inline const std::string solitonRuleFileName = "solCA.dat";
inline const std::string ruleFileName = "ca.dat";
inline const std::string auxRuleFileName = "Exr.dat";

// Reads up to table.size() bytes into the leading entries; later entries and,
// for a file that gives nothing, all entries keep their values. Fails (and
// says why) when nothing was read.
ReadOutcome readTableFile(const std::string& name, std::span<std::uint8_t> table);

// Writes every entry of the table, replacing the file.
WriteOutcome writeTableFile(const std::string& name, std::span<const std::uint8_t> table);

}  // namespace ondrix
