// The conversion of a numeric field's text and the 16-bit stores: blanks in
// front change nothing, what follows the digits is ignored, every 32-bit
// number reads back, and the 16-bit store keeps the value modulo 65536.
#include <string>

#include "ondrix/automaton/textnumber.h"
#include "fuzz/fuzzsupport.h"

using namespace ondrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::int32_t v = parseIntegerText(text);
  ONDRIX_CHECK(parseIntegerText(" \t\r\n" + text) == v);
  ONDRIX_CHECK(parseIntegerText(text + "x1") == v);
  const std::string digits = std::to_string(v);
  ONDRIX_CHECK(parseIntegerText(digits) == v);
  ONDRIX_CHECK(parseIntegerText(digits + "x" + text) == v);
  ONDRIX_CHECK(static_cast<std::uint16_t>(lowBits16(v)) == static_cast<std::uint32_t>(v) % 65536u);
  return 0;
}
