// The one random generator of the program: a 32-bit linear congruential
// generator whose draws lie in 0..32767.
#pragma once

#include <cstdint>

namespace ondrix {

class RandomGenerator {
 public:
  RandomGenerator() = default;
  explicit RandomGenerator(std::uint32_t seed) : seed_(seed) {}

  // seed := seed * 22695477 + 1 (mod 2^32); returns (seed >> 16) & 0x7FFF.
  std::int32_t next() {
    seed_ = seed_ * 22695477u + 1u;
    return static_cast<std::int32_t>((seed_ >> 16) & 0x7FFFu);
  }

  std::uint32_t seed() const { return seed_; }

  // Makes n draws at once, as n calls of next() would, in log(n) steps.
  void discard(std::uint64_t n);

 private:
  std::uint32_t seed_ = 1;
};

// The generator as commands find it: seeded with 1, one draw discarded at
// program start before any window exists.
RandomGenerator startupRandomGenerator();

}  // namespace ondrix
