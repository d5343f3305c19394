// The eight prepared starting rows of the "Examples" box, "Exp1.dat" to
// "Exp8.dat", in the row-file layout.
#pragma once

#include <string>

namespace ondrix {

struct OndrixState;
struct RingDisplay;

inline constexpr int exampleCount = 8;
inline constexpr int alwaysDrawnExample = 7;  // examples 7 and 8 draw even under Dont show

// "Exp1.dat" .. "Exp8.dat".
std::string exampleFileName(int number);

// "Ex. N": up to ringLength cells of example N over the ring (a missing file
// changes nothing; a row holding a byte that is no cell state is refused
// whole and the status bar says why), the redraw (always for 7 and 8,
// otherwise unless Dont show), then timeStep 0.
void loadExample(OndrixState& st, RingDisplay& display, int number);

}  // namespace ondrix
