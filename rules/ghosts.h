// The "Dont show" mode: a ring ten times longer, ten times the generations
// per tick, nothing drawn.
#pragma once

namespace ondrix {

struct OndrixState;

// Switches the mode on or off: ringLength and stepsPerTick are multiplied or
// divided (truncating) by 10 and the ring of the new length is cleared.
// Nothing is drawn; timeStep and the statistics are untouched.
void setDontShow(OndrixState& st, bool on);

}  // namespace ondrix
