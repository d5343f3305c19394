// The run: batches of generations moving the time counter, and the commands
// of the Manage box built on them.
#pragma once

#include <cstdint>
#include <string>

namespace ondrix {

struct AutomatonState;
struct OndrixState;
struct RingDisplay;

// How a batch ended: all its generations done, or, under "Stop at T = 0",
// at the backward generation that brought T back to 0.
enum class BatchEnd { done, backAtStart };

inline const std::string backAtStartMessage = "Back at the start (T = 0)";

// stepsPerTick generations (none when it is 0 or less), each moving timeStep
// by +1 forward or -1 backward, then the redraw unless Dont show. With
// stopAtStart, a backward batch ends early at the generation that makes T 0
// (one that starts at T = 0 runs on into negative T, as the user asked).
BatchEnd advanceRun(OndrixState& st, RingDisplay& display, bool stopAtStart = false);

// One tick of the run timer, and the "one step" command: advanceRun (under
// the View menu's "Stop at T = 0" when it is checked), then
// updateStatistics; a batch that came back to T = 0 says so in the status
// bar, and the caller stops the run.
BatchEnd runTick(OndrixState& st, RingDisplay& display);

// A run starts forward from T = 0.
void startRun(AutomatonState& ring);

// "Clear": T = 0, the history emptied, the ring cleared, redraw unless Dont
// show. A run goes on; the direction is kept.
void clearCommand(OndrixState& st, RingDisplay& display);

// "x3 Sp.": 768 cells in three rows or 256 in one, the new ring cleared.
// Cells beyond a shrunk ring keep their states. Nothing is redrawn.
void setThreeRows(AutomatonState& ring, bool threeRows);

// The run timer's interval under "Time *16", "Time *2" and "Time /2": it
// never drops below 1 ms, where the timer would stop for good, nor grows
// past 1,000,000 ms.
inline constexpr std::int32_t runIntervalMs = 5;
inline constexpr std::int32_t shortestIntervalMs = 1;
inline constexpr std::int32_t longestIntervalMs = 1000000;
std::int32_t multipliedInterval(std::int32_t interval, std::int32_t factor);
std::int32_t halvedInterval(std::int32_t interval);

}  // namespace ondrix
