#include "ondrix/automaton/bitslice.h"

#include <bit>

#if defined(ONDRIX_X86_KERNELS)
#include <immintrin.h>
#endif

namespace ondrix::bitslice {

SliceRule::SliceRule(const std::uint8_t* firstHalf) {
  for (int p = 0; p < 27; ++p) {
    for (int s4 = 0; s4 < 3; ++s4) leaves[p] |= static_cast<std::uint8_t>((firstHalf[3 * p + s4] != 0) << s4);
  }
}

namespace {

// c ? a : b, bit by bit.
template <typename W>
[[gnu::always_inline]] inline W choose(const W& c, const W& a, const W& b) {
  return (c & a) | (~c & b);
}

// The next x of a word (or of a vector of words, lane by lane). The count
// of C cells at distance d is one bit in `one` or in `both`; a mux over the
// four counts, from s4 up, picks the table bit.
template <typename W>
[[gnu::always_inline]] inline void nextX(const SliceRule& rule, const W& x, const W& y, W& next) {
  W one[5], both[5];
  for (int d = 1; d <= 4; ++d) {
    const W left = x << d, right = x >> d;
    one[d] = left ^ right;
    both[d] = left & right;
  }
  // Every function of s4 a leaf can be: bit j of the leaf is its value for
  // s4 = j.
  const W zero = x ^ x;
  const W leaf[8] = {zero,    ~(one[4] | both[4]), one[4],           ~both[4],
                     both[4], ~one[4],             one[4] | both[4], ~zero};
  auto mux = [](const W& oneBit, const W& bothBit, const W& v0, const W& v1, const W& v2) {
    return choose(bothBit, v2, choose(oneBit, v1, v0));
  };
  W byS3[9];
  for (int p = 0; p < 9; ++p) {
    byS3[p] = mux(one[3], both[3], leaf[rule.leaves[3 * p]], leaf[rule.leaves[3 * p + 1]], leaf[rule.leaves[3 * p + 2]]);
  }
  W byS2[3];
  for (int s = 0; s < 3; ++s) byS2[s] = mux(one[2], both[2], byS3[3 * s], byS3[3 * s + 1], byS3[3 * s + 2]);
  const W f = mux(one[1], both[1], byS2[0], byS2[1], byS2[2]);
  next = ~x & (y ^ f);
}

// Eight words as one vector, and the whole batch as one; the compiler maps
// them onto the registers the kernel's target has (one AVX-512 register,
// two AVX2 ones, four SSE2 ones for eight words).
typedef std::uint64_t Vector __attribute__((vector_size(64)));
typedef std::uint64_t BatchVector __attribute__((vector_size(8 * lanes)));

[[gnu::always_inline]] inline void stepBatch(const SliceRule& rule, Batch& batch) {
  BatchVector x, y, next;
  __builtin_memcpy(&x, batch.x.data(), sizeof x);
  __builtin_memcpy(&y, batch.y.data(), sizeof y);
  nextX(rule, x, y, next);
  __builtin_memcpy(batch.y.data(), &x, sizeof x);
  __builtin_memcpy(batch.x.data(), &next, sizeof next);
}

// A row of K words per lane, for nextX: the shifts carry bits from word
// to word.
template <int K>
struct Wide {
  BatchVector w[K];
  friend Wide operator<<(const Wide& a, int d) {
    Wide r;
    r.w[0] = a.w[0] << d;
    for (int k = 1; k < K; ++k) r.w[k] = (a.w[k] << d) | (a.w[k - 1] >> (64 - d));
    return r;
  }
  friend Wide operator>>(const Wide& a, int d) {
    Wide r;
    for (int k = 0; k + 1 < K; ++k) r.w[k] = (a.w[k] >> d) | (a.w[k + 1] << (64 - d));
    r.w[K - 1] = a.w[K - 1] >> d;
    return r;
  }
#define ONDRIX_WIDE_OP(op)                                 \
  friend Wide operator op(const Wide& a, const Wide& b) { \
    Wide r;                                                \
    for (int k = 0; k < K; ++k) r.w[k] = a.w[k] op b.w[k]; \
    return r;                                              \
  }
  ONDRIX_WIDE_OP(&)
  ONDRIX_WIDE_OP(|)
  ONDRIX_WIDE_OP(^)
#undef ONDRIX_WIDE_OP
  friend Wide operator~(const Wide& a) {
    Wide r;
    for (int k = 0; k < K; ++k) r.w[k] = ~a.w[k];
    return r;
  }
};

template <int K>
[[gnu::always_inline]] inline void stepWideBatch(const SliceRule& rule, WideBatch<K>& batch) {
  Wide<K> x, y, next;
  __builtin_memcpy(&x, batch.x.data(), sizeof x);
  __builtin_memcpy(&y, batch.y.data(), sizeof y);
  nextX(rule, x, y, next);
  __builtin_memcpy(batch.y.data(), &x, sizeof x);
  __builtin_memcpy(batch.x.data(), &next, sizeof next);
}

}  // namespace

template <int K>
void stepWidePortable(const SliceRule& rule, WideBatch<K>& batch) {
  stepWideBatch(rule, batch);
}
template void stepWidePortable<1>(const SliceRule&, WideBatch<1>&);
template void stepWidePortable<2>(const SliceRule&, WideBatch<2>&);
template void stepWidePortable<3>(const SliceRule&, WideBatch<3>&);

void stepPortable(const SliceRule& rule, Batch& batch) { stepBatch(rule, batch); }

std::uint32_t advancePortable(const Limits& limits, Batch& batch, Tracks& tracks) {
  std::uint32_t stopped = 0;
  for (int k = 0; k < lanes; ++k) {
    const std::uint64_t x = batch.x[k], y = batch.y[k], live = x | y;
    const int low = std::countr_zero(live) & 63;
    const std::int64_t width = 63 - std::countl_zero(live | 1) - low;
    const std::int64_t start = tracks.offset[k] + low;
    const std::uint64_t homeX = x >> low << limits.home, homeY = y >> low << limits.home;
    tracks.generations[k] += 1;
    const bool goesOn = (live != 0) & (width < limits.widthLimit) & (start >= limits.startLow) &
                        (start <= limits.startHigh) & (tracks.generations[k] < limits.generationLimit) &
                        ((homeX != tracks.startX[k]) | (homeY != tracks.startY[k]));
    stopped |= std::uint32_t{!goesOn} << k;
    batch.x[k] = goesOn ? homeX : x;
    batch.y[k] = goesOn ? homeY : y;
    tracks.offset[k] = goesOn ? start - limits.home : tracks.offset[k];
    tracks.width[k] = goesOn ? width : tracks.width[k];
  }
  return stopped;
}

#if defined(ONDRIX_X86_KERNELS)

__attribute__((target("avx2"))) void stepAvx2(const SliceRule& rule, Batch& batch) { stepBatch(rule, batch); }

__attribute__((target("avx512f"))) void stepAvx512(const SliceRule& rule, Batch& batch) { stepBatch(rule, batch); }

// Eight lanes a register: the first live cell from the leading zeros of
// the lowest set bit, compares into masks, masked moves.
__attribute__((target("avx512f,avx512cd"))) std::uint32_t advanceAvx512(const Limits& limits, Batch& batch,
                                                                          Tracks& tracks) {
  const __m512i zero = _mm512_setzero_si512(), sixtyThree = _mm512_set1_epi64(63);
  const __m512i home = _mm512_set1_epi64(limits.home), one = _mm512_set1_epi64(1);
  std::uint32_t stopped = 0;
  for (int k = 0; k < lanes; k += 8) {
    const __m512i x = _mm512_load_si512(batch.x.data() + k), y = _mm512_load_si512(batch.y.data() + k);
    const __m512i live = _mm512_or_si512(x, y);
    const __m512i lowest = _mm512_and_si512(live, _mm512_sub_epi64(zero, live));
    const __m512i low = _mm512_and_si512(_mm512_sub_epi64(sixtyThree, _mm512_lzcnt_epi64(lowest)), sixtyThree);
    const __m512i high = _mm512_sub_epi64(sixtyThree, _mm512_lzcnt_epi64(_mm512_or_si512(live, one)));
    const __m512i width = _mm512_sub_epi64(high, low);
    const __m512i offset = _mm512_load_si512(tracks.offset.data() + k);
    const __m512i start = _mm512_add_epi64(offset, low);
    // Variable shifts through the vector type (GCC 12's shift intrinsics
    // warn about their undefined pass-through operand).
    const __m512i homeX = __m512i(Vector(x) >> Vector(low) << Vector(home));
    const __m512i homeY = __m512i(Vector(y) >> Vector(low) << Vector(home));
    const __m512i generations = _mm512_add_epi64(_mm512_load_si512(tracks.generations.data() + k), one);
    _mm512_store_si512(tracks.generations.data() + k, generations);
    __mmask8 goesOn = _mm512_test_epi64_mask(live, live);
    goesOn &= _mm512_cmplt_epi64_mask(width, _mm512_set1_epi64(limits.widthLimit));
    goesOn &= _mm512_cmpge_epi64_mask(start, _mm512_set1_epi64(limits.startLow));
    goesOn &= _mm512_cmple_epi64_mask(start, _mm512_set1_epi64(limits.startHigh));
    goesOn &= _mm512_cmplt_epi64_mask(generations, _mm512_set1_epi64(limits.generationLimit));
    goesOn &= static_cast<__mmask8>(~(_mm512_cmpeq_epi64_mask(homeX, _mm512_load_si512(tracks.startX.data() + k)) &
                                      _mm512_cmpeq_epi64_mask(homeY, _mm512_load_si512(tracks.startY.data() + k))));
    stopped |= std::uint32_t{static_cast<std::uint8_t>(~goesOn)} << k;
    _mm512_mask_store_epi64(batch.x.data() + k, goesOn, homeX);
    _mm512_mask_store_epi64(batch.y.data() + k, goesOn, homeY);
    _mm512_mask_store_epi64(tracks.offset.data() + k, goesOn, _mm512_sub_epi64(start, home));
    _mm512_mask_store_epi64(tracks.width.data() + k, goesOn, width);
  }
  return stopped;
}

namespace {
template <int K>
__attribute__((target("avx2"))) void stepWideAvx2(const SliceRule& rule, WideBatch<K>& batch) {
  stepWideBatch(rule, batch);
}
template <int K>
__attribute__((target("avx512f"))) void stepWideAvx512(const SliceRule& rule, WideBatch<K>& batch) {
  stepWideBatch(rule, batch);
}
}  // namespace

template <int K>
WideStep<K> bestWideStep() {
  const ProcessorFeatures& cpu = processorFeatures();
  if (cpu.avx512f) return stepWideAvx512<K>;
  if (cpu.avx2) return stepWideAvx2<K>;
  return stepWidePortable<K>;
}

Kernels bestKernels() {
  const ProcessorFeatures& cpu = processorFeatures();
  if (cpu.avx512f && cpu.avx512cd) return {stepAvx512, advanceAvx512};
  if (cpu.avx2) return {stepAvx2, advancePortable};
  return {stepPortable, advancePortable};
}

#else

template <int K>
WideStep<K> bestWideStep() {
  return stepWidePortable<K>;
}

Kernels bestKernels() { return {stepPortable, advancePortable}; }

#endif

template WideStep<1> bestWideStep<1>();
template WideStep<2> bestWideStep<2>();
template WideStep<3> bestWideStep<3>();

std::uint64_t stepRow(const SliceRule& rule, std::uint64_t x, std::uint64_t y) {
  std::uint64_t next;
  nextX(rule, x, y, next);
  return next;
}

namespace {

// Base-3 value of four cells from their C bits (high nibble) and B bits.
struct NibbleCodes {
  std::array<std::uint8_t, 256> value{};
  constexpr NibbleCodes() {
    for (int c = 0; c < 16; ++c) {
      for (int b = 0; b < 16; ++b) {
        int v = 0;
        for (int k = 3; k >= 0; --k) v = 3 * v + ((c >> k) & 1 ? 2 : (b >> k) & 1);
        value[16 * c + b] = static_cast<std::uint8_t>(v);
      }
    }
  }
};
constexpr NibbleCodes nibbleCodes;

}  // namespace

std::int32_t rowCode(std::uint64_t x, std::uint64_t y, int from, int width) {
  const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
  x = (x >> from) & mask;
  y = (y >> from) & mask;
  std::uint32_t sum = 0, weight = 1;
  for (int k = 0; k < width; k += 4) {
    sum += weight * nibbleCodes.value[16 * ((x >> k) & 15) + ((y >> k) & 15)];
    weight *= 81;
  }
  return static_cast<std::int32_t>(sum);
}

}  // namespace ondrix::bitslice
