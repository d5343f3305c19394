#include "ondrix/automaton/stepkernels.h"

#if defined(ONDRIX_X86_KERNELS)
#include <immintrin.h>
#endif

#include "ondrix/automaton/automaton.h"

namespace ondrix::kernels {

namespace {

// Next state and mark of one cell from its table bit:
//   C -> B, mark N;  B -> A (bit 1) or C (bit 0);  A -> C (bit 1) or A (bit 0);
// marks O and P for bits 0 and 1. Any other byte behaves as A.
inline std::int32_t finishCell(const StepRun& r, std::int32_t i, std::uint8_t bit) {
  const std::uint8_t c = r.cells[i];
  const std::uint8_t isC = c == stateC;
  const std::uint8_t isB = c == stateB;
  r.next[i] = r.cells[i] = isC ? stateB : static_cast<std::uint8_t>(2 * (isB ^ bit ^ 1));
  r.marks[i] = static_cast<std::int16_t>(isC ? markN : markO + bit);
  return isC | isB;
}

inline std::uint8_t tableBit(const StepRun& r, std::int32_t i) {
  const std::uint8_t* z = r.z;
  const int index = 27 * (z[i - 1] + z[i + 1]) + 9 * (z[i - 2] + z[i + 2]) + 3 * (z[i - 3] + z[i + 3]) +
                    (z[i - 4] + z[i + 4]);
  return r.ruleTable[index] != 0;
}

}  // namespace

std::int32_t stepCellsPortable(const StepRun& r) {
  std::int32_t live = 0;
  for (std::int32_t i = 0; i < r.count; ++i) live += finishCell(r, i, tableBit(r, i));
  return live;
}

#if defined(ONDRIX_X86_KERNELS)

namespace {

// C cells at distance d on the two sides of cells i .. i + 31.
__attribute__((target("avx2"))) inline __m256i pairCount(const std::uint8_t* z, std::int32_t i, int d) {
  return _mm256_add_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(z + i - d)),
                         _mm256_loadu_si256(reinterpret_cast<const __m256i*>(z + i + d)));
}

}  // namespace

// 32 cells at a time. The rule index is 9u + v with u = 3 s1 + s2 and
// v = 3 s3 + s4, both 0..8: one shuffle fetches the byte of the table row
// u (the bits of entries 9u .. 9u + 7), another the bit of v within it;
// entry 9u + 8 comes from a third. Next states and marks follow from
// compares and blends, the live count from a sum of absolute differences.
__attribute__((target("avx2"))) std::int32_t stepCellsAvx2(const StepRun& r) {
  alignas(16) std::uint8_t rowLow[16] = {}, rowHigh[16] = {}, vBit[16] = {};
  for (int u = 0; u < 9; ++u) {
    for (int v = 0; v < 8; ++v) rowLow[u] |= static_cast<std::uint8_t>((r.ruleTable[9 * u + v] != 0) << v);
    rowHigh[u] = r.ruleTable[9 * u + 8] != 0 ? 0xFF : 0;
  }
  for (int v = 0; v < 8; ++v) vBit[v] = static_cast<std::uint8_t>(1 << v);
  const __m256i lowTable = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(rowLow)));
  const __m256i highTable = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(rowHigh)));
  const __m256i bitTable = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(vBit)));
  const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi8(1), eight = _mm256_set1_epi8(8);

  std::int32_t i = 0;
  __m256i liveSum = zero;
  for (; i + 32 <= r.count; i += 32) {
    const __m256i s1 = pairCount(r.z, i, 1), s2 = pairCount(r.z, i, 2);
    const __m256i s3 = pairCount(r.z, i, 3), s4 = pairCount(r.z, i, 4);
    const __m256i u = _mm256_add_epi8(_mm256_add_epi8(s1, _mm256_add_epi8(s1, s1)), s2);
    const __m256i v = _mm256_add_epi8(_mm256_add_epi8(s3, _mm256_add_epi8(s3, s3)), s4);
    const __m256i low = _mm256_and_si256(_mm256_shuffle_epi8(lowTable, u), _mm256_shuffle_epi8(bitTable, v));
    const __m256i high = _mm256_and_si256(_mm256_shuffle_epi8(highTable, u), _mm256_cmpeq_epi8(v, eight));
    // bit: 1 where the entry is not 0.
    const __m256i lowSet = _mm256_andnot_si256(_mm256_cmpeq_epi8(low, zero), one);
    const __m256i bit = _mm256_or_si256(lowSet, _mm256_and_si256(high, one));

    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.cells + i));
    const __m256i isC = _mm256_cmpeq_epi8(c, zero), isB = _mm256_cmpeq_epi8(c, one);
    // Not C: 2 * (isB ^ bit ^ 1); C: 1.
    const __m256i flip = _mm256_xor_si256(_mm256_xor_si256(_mm256_and_si256(isB, one), bit), one);
    const __m256i next = _mm256_blendv_epi8(_mm256_add_epi8(flip, flip), one, isC);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.next + i), next);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.cells + i), next);
    // Marks: N (78) for C, O (79) + bit otherwise, widened to 16 bits.
    const __m256i mark8 = _mm256_blendv_epi8(_mm256_add_epi8(_mm256_set1_epi8(markO), bit), _mm256_set1_epi8(markN), isC);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.marks + i),
                        _mm256_cvtepu8_epi16(_mm256_castsi256_si128(mark8)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.marks + i + 16),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(mark8, 1)));
    const __m256i live = _mm256_and_si256(_mm256_or_si256(isC, isB), one);
    liveSum = _mm256_add_epi64(liveSum, _mm256_sad_epu8(live, zero));
  }
  alignas(32) std::int64_t sums[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(sums), liveSum);
  std::int32_t total = static_cast<std::int32_t>(sums[0] + sums[1] + sums[2] + sums[3]);
  for (; i < r.count; ++i) total += finishCell(r, i, tableBit(r, i));
  return total;
}

#endif

}  // namespace ondrix::kernels
