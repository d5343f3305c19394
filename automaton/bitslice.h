// The step in bit-sliced form, for many short rows at once. A row of up to
// 64 cells is two words: x, bit k set where cell k is C, and y, where it is
// B (which is where it was C a generation before). A generation is
//   x' = not x and (y xor f),   y' = x,
// f being the table bit of each cell, read from the C cells at distances 1
// to 4. The table's 81 entries become a mux tree over the four pair counts,
// so a generation is about a hundred word operations, whatever the rule.
// Cells past either end of a word count as A: a row must keep its live
// cells at least 4 bits inside its word for the next generation to be exact.
#pragma once

#include "ondrix/automaton/processor.h"

#include <array>
#include <cstdint>

namespace ondrix::bitslice {

// The first half of a rule table (entries other than 0 count as 1) as the
// leaves of the mux tree: leaves[9 s1 + 3 s2 + s3] holds, in bits 0..2, the
// entries for s4 = 0, 1, 2, where s_d counts the C cells at distance d.
struct SliceRule {
  std::array<std::uint8_t, 27> leaves{};
  explicit SliceRule(const std::uint8_t* firstHalf);
};

// Rows stepped together.
inline constexpr int lanes = 16;

struct Batch {
  alignas(64) std::array<std::uint64_t, lanes> x{};
  alignas(64) std::array<std::uint64_t, lanes> y{};
};

// One generation of every row of the batch. The portable kernel runs
// anywhere; the others need the processor's AVX2 or AVX-512. All give the
// same rows.
void stepPortable(const SliceRule& rule, Batch& batch);
#if defined(ONDRIX_X86_KERNELS)
void stepAvx2(const SliceRule& rule, Batch& batch);
void stepAvx512(const SliceRule& rule, Batch& batch);
#endif

// Rows that follow their pattern along the line: after every generation
// each row is moved back so that its first live cell sits at bit `home`,
// and it goes on while it is alive, narrower than `widthLimit`, its first
// live cell at a line index from startLow to startHigh, under
// `generationLimit` generations, and not its start row again.
struct Limits {
  std::int64_t home = 24;
  std::int64_t widthLimit = 19;
  std::int64_t startLow = 0, startHigh = 0;
  std::int64_t generationLimit = 0;
};

// Per lane: the line index of bit 0, the generations run, the width (last
// live cell's offset) after the last generation that went on, and the start
// row with its first live cell at `home`.
struct Tracks {
  alignas(64) std::array<std::int64_t, lanes> offset{};
  alignas(64) std::array<std::int64_t, lanes> generations{};
  alignas(64) std::array<std::int64_t, lanes> width{};
  alignas(64) std::array<std::uint64_t, lanes> startX{};
  alignas(64) std::array<std::uint64_t, lanes> startY{};
};

// Counts a generation for every lane and moves the rows that go on to
// their home bit. Returns a bit per lane whose row stopped (idle lanes, all
// A, stop too); their words and tracks are left as the generation left them
// apart from the count.
std::uint32_t advancePortable(const Limits& limits, Batch& batch, Tracks& tracks);
#if defined(ONDRIX_X86_KERNELS)
std::uint32_t advanceAvx512(const Limits& limits, Batch& batch, Tracks& tracks);
#endif

// The fastest kernels this processor runs.
struct Kernels {
  void (*step)(const SliceRule&, Batch&);
  std::uint32_t (*advance)(const Limits&, Batch&, Tracks&);
};
Kernels bestKernels();

// Rows of up to 64 K cells, `lanes` of them stepped together: word k of
// lane l is x[k * lanes + l] (bit b of it is cell 64 k + b). Cells past
// either end count as A, as in a one-word row.
template <int K>
struct WideBatch {
  alignas(64) std::array<std::uint64_t, K * lanes> x{};
  alignas(64) std::array<std::uint64_t, K * lanes> y{};
};

// One generation of every row of a wide batch, on the fastest kernel this
// processor runs.
template <int K>
using WideStep = void (*)(const SliceRule&, WideBatch<K>&);
template <int K>
WideStep<K> bestWideStep();
// The portable wide kernel, which runs anywhere.
template <int K>
void stepWidePortable(const SliceRule& rule, WideBatch<K>& batch);

// One generation of one row; returns the new x (the new y is the old x).
std::uint64_t stepRow(const SliceRule& rule, std::uint64_t x, std::uint64_t y);

// Pattern code of the cells of a row from bit `from` on, `width` of them
// (at most 25), digit 1 for B and 2 for C, with the 32-bit wrap of the
// stored codes.
std::int32_t rowCode(std::uint64_t x, std::uint64_t y, int from, int width);

}  // namespace ondrix::bitslice
