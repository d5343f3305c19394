#include "automaton/random.h"

namespace ondrix {

RandomGenerator startupRandomGenerator() {
  RandomGenerator g;
  g.next();
  return g;
}

}  // namespace ondrix
