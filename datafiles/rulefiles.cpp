#include "datafiles/rulefiles.h"

#include "datafiles/files.h"

namespace ondrix {

bool readTableFile(const std::string& name, std::span<std::uint8_t> table) {
  return readPrefix(name, table).has_value();
}

WriteOutcome writeTableFile(const std::string& name, std::span<const std::uint8_t> table) { return writeWhole(name, table); }

}  // namespace ondrix
