#include "ondrix/datafiles/rulefiles.h"

#include "ondrix/datafiles/files.h"

namespace ondrix {

ReadOutcome readTableFile(const std::string& name, std::span<std::uint8_t> table) { return readFile(name, table); }

WriteOutcome writeTableFile(const std::string& name, std::span<const std::uint8_t> table) { return writeWhole(name, table); }

}  // namespace ondrix
