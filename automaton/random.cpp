#include "ondrix/automaton/random.h"

namespace ondrix {

void RandomGenerator::discard(std::uint64_t n) {
  // One draw is the map x -> a x + c; n draws are its n-th power, built by
  // squaring: (a, c) composed with itself is (a a, a c + c).
  std::uint32_t a = 22695477u, c = 1u;
  std::uint32_t powerA = 1u, powerC = 0u;
  for (; n != 0; n >>= 1) {
    if (n & 1u) {
      powerA *= a;
      powerC = powerC * a + c;
    }
    c = (a + 1u) * c;
    a *= a;
  }
  seed_ = seed_ * powerA + powerC;
}

RandomGenerator startupRandomGenerator() {
  RandomGenerator g;
  g.next();
  return g;
}

}  // namespace ondrix
