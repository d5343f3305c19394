// A colour as red, green and blue bytes.
#pragma once

#include <cstdint>

namespace ondrix {

struct Rgb {
  std::uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

}  // namespace ondrix
