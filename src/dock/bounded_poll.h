#pragma once

// Waiting for something to happen without holding a thread: the question is
// asked again after each interval, a fixed number of times at most.

#include <functional>

#include "platform/scheduler.h"

namespace kd {

// Asks `probe` on `queue` one `interval` from now and after each further
// interval, `rounds` times at most, and stops at the first yes. Then calls
// `done` on `queue` with whether the probe said yes.
void pollUntil(Scheduler& scheduler, const Queue& queue, Scheduler::Duration interval, int rounds,
               std::function<bool()> probe, std::function<void(bool found)> done);

}  // namespace kd
