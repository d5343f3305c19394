// The kernels of a generation: the next state and mark of a run of cells
// from their C-indicators. The portable one runs anywhere; the AVX2 one
// looks the table bit up with byte shuffles instead of a gather. They give
// identical results; the step picks the fastest the processor runs.
#pragma once

#include "ondrix/automaton/processor.h"

#include <cstdint>

namespace ondrix::kernels {

// Cells cells[0..count-1] go to next[] and, in the same pass, back into
// cells[] (each cell is read before it is written), with their marks; z[k]
// is 1 where cell k is C and must be valid from z[-4] to z[count + 3]. Any
// table entry other than 0 counts as 1; any cell byte other than 0 and 1
// behaves as A. Returns how many of the cells were live (C or B).
struct StepRun {
  const std::uint8_t* ruleTable;  // the 81 entries of the first half
  std::uint8_t* cells;
  const std::uint8_t* z;
  std::uint8_t* next;
  std::int16_t* marks;
  std::int32_t count;
};

std::int32_t stepCellsPortable(const StepRun& run);

#if defined(ONDRIX_X86_KERNELS)
std::int32_t stepCellsAvx2(const StepRun& run);  // needs processorFeatures().avx2
#endif

}  // namespace ondrix::kernels
