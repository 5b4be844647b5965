#include "transport/busy_guard.h"

namespace kd {

bool busyIsStuck(bool busy, std::optional<Scheduler::TimePoint> since, Scheduler::TimePoint now,
                 Scheduler::Duration ceiling) {
    return busy && since && now - *since > ceiling;
}

}  // namespace kd
