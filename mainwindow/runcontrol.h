// The run: batches of generations moving the time counter, and the commands
// of the Manage box built on them.
#pragma once

namespace ondrix {

struct OndrixState;
struct RingDisplay;

// stepsPerTick generations (none when it is 0 or less), each moving timeStep
// by +1 forward or -1 backward, then the redraw unless Dont show.
void advanceRun(OndrixState& st, RingDisplay& display);

}  // namespace ondrix
