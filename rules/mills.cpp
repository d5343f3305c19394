#include "ondrix/rules/mills.h"

#include <algorithm>
#include <array>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/statistics.h"

namespace ondrix {

namespace {

void applyClearRule(OndrixState& st) {
  if (st.withoutClear) clearRing(st.ring);
}

void writeInRing(AutomatonState& ring, std::int64_t pos, std::uint8_t state) {
  if (pos >= 0 && pos < ring.ringLength) ring.cells[static_cast<std::size_t>(pos)] = state;
}

bool mirrored(RandomBlock v) { return v != RandomBlock::abc && v != RandomBlock::bc; }

std::uint8_t leftState(RandomBlock v, std::int32_t r) {
  switch (v) {
    case RandomBlock::abc:
    case RandomBlock::abcSymmetric:
      return static_cast<std::uint8_t>(r % 3);
    case RandomBlock::baSwappedMirror:
      return static_cast<std::uint8_t>(r % 2 + 1);
    default:
      return static_cast<std::uint8_t>(r % 2);
  }
}

std::uint8_t mirrorState(RandomBlock v, std::uint8_t left) {
  const bool swapped = v == RandomBlock::bcSwappedMirror || v == RandomBlock::baSwappedMirror;
  return swapped ? swapState(left) : left;
}

}  // namespace

std::int64_t patternStart(const OndrixState& st) {
  return st.ring.ringLength / 2 + std::int64_t{st.mills.patternOffset};
}

void placeMillSeed(OndrixState& st, RingDisplay& display, MillSeed seed) {
  AutomatonState& ring = st.ring;
  applyClearRule(st);
  const std::int64_t s = patternStart(st);
  ring.insertPos = static_cast<std::int32_t>(s);
  switch (seed) {
    case MillSeed::single:
      writeInRing(ring, s, stateC);
      break;
    case MillSeed::pair:
      writeInRing(ring, s, stateC);
      writeInRing(ring, s + 1, stateC);
      break;
    case MillSeed::symmetricBlock: {
      std::array<std::uint8_t, 4> half{};
      for (std::uint8_t& h : half) h = static_cast<std::uint8_t>(st.random.next() % 3);
      for (int k = 0; k < 4; ++k) {
        writeInRing(ring, s + k, half[k]);
        writeInRing(ring, s + 7 - k, half[k]);
      }
      break;
    }
  }
  redrawUnlessDontShow(st, display);
}

void placeRandomBlock(OndrixState& st, RingDisplay& display, RandomBlock variant) {
  AutomatonState& ring = st.ring;
  resetHistory(ring);
  applyClearRule(st);
  const std::int64_t s = patternStart(st);
  const std::int64_t length = st.mills.patternLength;
  if (length > 0) {
    // Pass i writes cell s + i and, mirrored, s + 2L - i. Only the passes
    // that reach the ring are run; the draws of the others are skipped at
    // once, so even a block of two billion cells takes no time.
    const std::int64_t n = ring.ringLength;
    std::array<std::pair<std::int64_t, std::int64_t>, 2> reach = {{{-s, n - 1 - s}, {s + 2 * length - n + 1, s + 2 * length}}};
    if (!mirrored(variant)) reach[1] = reach[0];
    std::sort(reach.begin(), reach.end());
    std::int64_t drawn = 0;  // passes whose draw has been made
    for (auto [from, to] : reach) {
      from = std::max({from, drawn, std::int64_t{0}});
      to = std::min(to, length - 1);
      if (from > to) continue;
      st.random.discard(static_cast<std::uint64_t>(from - drawn));
      for (std::int64_t i = from; i <= to; ++i) {
        const std::uint8_t left = leftState(variant, st.random.next());
        writeInRing(ring, s + i, left);
        if (mirrored(variant)) writeInRing(ring, s + 2 * length - i, mirrorState(variant, left));
      }
      drawn = to + 1;
    }
    st.random.discard(static_cast<std::uint64_t>(length - drawn));
    ring.insertPos = static_cast<std::int32_t>(static_cast<std::uint32_t>(s + length - 1));
  }
  redrawUnlessDontShow(st, display);
}

}  // namespace ondrix
