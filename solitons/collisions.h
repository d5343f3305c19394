// Every collision of two solitons: soliton a travelling towards higher
// cells meets soliton b's reversed twin (B and C exchanged) travelling
// towards lower ones, from every relative phase and every offset within
// one beat of their relative motion. Collisions that are the same up to a
// shift in space and time are listed once; each is run until what came
// out stands apart for good, and every product is named by its entry in
// the rule's list of solitons.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/poll.h"
#include "ondrix/solitons/enumerate.h"

namespace ondrix {

enum class CollisionOutcome {
  passed,       // a and b came out, each on its way, as they went in
  changed,      // other products (or a and b among others)
  annihilated,  // nothing is left
  debris,       // something that is no soliton or oscillator is left, or grows past 256 cells
  unresolved,   // products known but not yet apart for good by the bound
};

struct CollisionProduct {
  enum class Kind { soliton, still, oscillating };
  Kind kind = Kind::soliton;
  EnumeratedSoliton entry;  // soliton: its list entry; still, oscillating: period and cells
  int direction = 0;        // +1 towards higher cells, -1 towards lower, 0 in place
  Digits cells;             // as it stands at the end
  std::int64_t position = 0;  // its first cell at the end, counted from a's first cell at the start
  // "a" or "b" when the product is that soliton, in one of its own phases
  // and moving its own way; "" for any other.
  std::string continues;
  // Against the free flight of the soliton it continues: the
  // same phase is reached `dt` generations later and `dx` cells further
  // on than free flight reaches it (positive dx: further along its way),
  // dt taken nearest to 0. Absent for other products.
  std::optional<std::int32_t> dx, dt;
};

struct PairCollision {
  // The start: a in its listed phase from cell 0, b's twin `phaseB`
  // generations into its free flight with its first cell at `startB`.
  int phaseB = 0;
  std::int32_t startB = 0;
  std::string start;  // the row from a's first cell to b's last, as letters
  CollisionOutcome outcome = CollisionOutcome::debris;
  std::int32_t generations = 0;  // run until the verdict
  std::vector<CollisionProduct> products;  // from left to right
};

struct CompleteCollisionOptions {
  int limit = 4000;   // generations at most
  int settled = 40;   // generations the products must stand apart, at least twice their longest period
  unsigned threads = 0;  // 0: one per processor; the result does not depend on it
  Poll* poll = nullptr;  // hears collisions run of all; cancelled: throws Cancelled
};

struct PairCollisions {
  EnumeratedSoliton a, b;
  // sa pb + sb pa: the distinct collisions one beat of relative motion holds.
  std::int64_t expected = 0;
  std::vector<PairCollision> collisions;  // by phaseB, then startB
};

// Every distinct collision of a (moving right) with b's twin (moving left).
// a and b start from their `cells`, a phase that moves towards higher cells
// by `shift` in `period` generations (a list entry, or a catalogue type);
// products are named by their list entries. std::invalid_argument for one
// that does not do that.
PairCollisions completeCollisions(const RuleTable& rule, const EnumeratedSoliton& a, const EnumeratedSoliton& b,
                                  const CompleteCollisionOptions& options = {});

const char* collisionOutcomeName(CollisionOutcome o);

}  // namespace ondrix
