#include "ondrix/automaton/processor.h"

namespace ondrix {

const ProcessorFeatures& processorFeatures() {
  static const ProcessorFeatures features = [] {
    ProcessorFeatures f;
#if defined(ONDRIX_X86_KERNELS)
    __builtin_cpu_init();
    f.avx2 = __builtin_cpu_supports("avx2");
    f.avx512f = __builtin_cpu_supports("avx512f");
    f.avx512cd = __builtin_cpu_supports("avx512cd");
#endif
    return f;
  }();
  return features;
}

}  // namespace ondrix
