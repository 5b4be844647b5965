#pragma once

// Notices an operation that never reported back.

#include <optional>

#include "platform/scheduler.h"

namespace kd {

// True exactly when `busy` holds, the operation's start `since` is known, and
// more than `ceiling` has passed since it by `now` (strictly more).
bool busyIsStuck(bool busy, std::optional<Scheduler::TimePoint> since, Scheduler::TimePoint now,
                 Scheduler::Duration ceiling);

}  // namespace kd
