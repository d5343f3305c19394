// What the processor offers the stepping kernels, asked once per process.
// The vector kernels are built on x86-64 with GCC or Clang, and chosen at
// run time by what this reports; elsewhere only the portable ones exist.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
#define ONDRIX_X86_KERNELS 1
#endif

namespace ondrix {

struct ProcessorFeatures {
  bool avx2 = false;
  bool avx512f = false;
  bool avx512cd = false;
};

const ProcessorFeatures& processorFeatures();

}  // namespace ondrix
