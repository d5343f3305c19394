// Helper threads kept between jobs. A search is over in a fraction of a
// millisecond, less than it takes to start a thread here, so the helpers
// stay, waiting a moment for the next job before they sleep.
#pragma once

#include <cstdint>
#include <functional>

namespace ondrix {

// Runs `work` on `threads` threads at once, the caller's among them, and
// returns when every one has returned. One job runs at a time; a job must
// not start another with more than one thread. An exception thrown by the
// work on any thread is thrown again here, once every thread is done (the
// first one, when several throw).
void runOnThreads(unsigned threads, const std::function<void()>& work);

// The machine's memory in bytes; 0 when the system does not say.
std::uint64_t physicalMemory();

}  // namespace ondrix
