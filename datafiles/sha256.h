// SHA-256 of a few bytes, as hex: how a result names the rule it was made
// under, so that a rule can be told apart from another however it was given.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace ondrix {

std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace ondrix
