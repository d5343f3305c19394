// The rule-table and auxiliary-table readers: the leading entries come from
// the file, the rest keep their values, and a table written back reads back
// equal.
#include <algorithm>
#include <array>

#include "datafiles/rulefiles.h"
#include "fuzz/fuzzsupport.h"

using namespace ondrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enterScratchFolder();
  fuzz::putInput(ruleFileName, data, size);
  std::array<std::uint8_t, ruleTableSize> table;
  table.fill(0xEE);
  ONDRIX_CHECK(readTableFile(ruleFileName, table));
  const std::size_t read = std::min<std::size_t>(size, table.size());
  ONDRIX_CHECK(std::equal(data, data + read, table.begin()));
  ONDRIX_CHECK(std::all_of(table.begin() + read, table.end(), [](auto b) { return b == 0xEE; }));

  AuxRuleTable aux{};
  ONDRIX_CHECK(readTableFile(ruleFileName, aux));
  ONDRIX_CHECK(std::equal(aux.begin(), aux.begin() + std::min<std::size_t>(size, aux.size()), data));

  ONDRIX_CHECK(writeTableFile(auxRuleFileName, aux));
  AuxRuleTable back{};
  ONDRIX_CHECK(readTableFile(auxRuleFileName, back));
  ONDRIX_CHECK(back == aux);
  return 0;
}
