#include "dock/bounded_poll.h"

#include <utility>

namespace kd {

void pollUntil(Scheduler& scheduler, const Queue& queue, Scheduler::Duration interval, int rounds,
               std::function<bool()> probe, std::function<void(bool found)> done) {
    if (rounds <= 0) {
        scheduler.post(queue, [done = std::move(done)] { done(false); });
        return;
    }
    scheduler.after(interval, queue,
                    [&scheduler, queue, interval, rounds, probe = std::move(probe),
                     done = std::move(done)]() mutable {
                        if (probe()) {
                            done(true);
                            return;
                        }
                        if (rounds == 1) {
                            done(false);
                            return;
                        }
                        pollUntil(scheduler, queue, interval, rounds - 1, std::move(probe),
                                  std::move(done));
                    });
}

}  // namespace kd
