// Conversion of the text of every numeric edit field to an integer.
#pragma once

#include <cstdint>
#include <string_view>

namespace ondrix {

// Skips leading white space, takes one optional sign, then reads decimal
// digits up to the first other character, accumulating in 32-bit arithmetic
// that wraps on overflow. Text without digits gives 0. Text of any length.
std::int32_t parseIntegerText(std::string_view text);

// The value as a 16-bit parameter stores it: its low 16 bits, signed.
constexpr std::int16_t lowBits16(std::int32_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)));
}

}  // namespace ondrix
