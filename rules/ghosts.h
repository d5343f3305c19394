// The "Dont show" mode: a ring ten times longer, ten times the generations
// per tick, nothing drawn.
#pragma once

#include <string>

namespace ondrix {

struct OndrixState;
struct RingDisplay;

inline const std::string ghostRowFileName = "tgho.dat";

// "Test ghosts": the population history restarts, up to ringLength cells of
// "tgho.dat" are read over the ring (nothing is cleared; a row with a byte
// that is no cell state is refused whole and the status bar says why), then
// the redraw unless Dont show.
void testGhosts(OndrixState& st, RingDisplay& display);

// Switches the mode on or off: ringLength and stepsPerTick are multiplied or
// divided (truncating) by 10 and the ring of the new length is cleared.
// Nothing is drawn; timeStep and the statistics are untouched.
void setDontShow(OndrixState& st, bool on);

}  // namespace ondrix
