#pragma once

// A Scheduler for tests, driven by virtual time.
//
// Contract:
// - Tasks of all queues run on the thread that created the scheduler, only
//   inside runUntilIdle or advance, which only that thread calls. `post`,
//   `after`, `now` and TimerHandle::cancel may come from any thread, as from
//   a real server's own thread; what they post waits for the test to run it.
// - Tasks run in order of due time, then of posting, whatever their queue.
// - `after` with a negative delay is due now.
// - onMainThread() is true while a main-queue task runs, and outside any task
//   on the creating thread; false while a background or serial task runs.
// - runUntilIdle and advance must not be called from inside a task (they
//   throw std::logic_error), and tasks must not throw.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/scheduler.h"

namespace kd {

class VirtualScheduler : public Scheduler {
  public:
    VirtualScheduler();

    void post(const Queue& queue, Task task) override;
    TimerHandle after(Duration delay, const Queue& queue, Task task) override;
    TimePoint now() const override;
    bool onMainThread() const override;

    // Runs every task due now, including those they post for now.
    void runUntilIdle();
    // Moves time forward by `by` (never back), running each task due on the
    // way with now() set to its due time.
    void advance(Duration by);
    // Tasks neither run nor cancelled.
    std::size_t pendingCount() const;

  private:
    using Key = std::pair<TimePoint, std::uint64_t>;
    struct Pending {
        Queue queue;
        Task task;
    };
    struct Tasks {
        std::mutex mutex;
        std::map<Key, Pending> map;
        TimePoint now;
        std::uint64_t nextSequence = 0;
    };

    Key schedule(Duration delay, const Queue& queue, Task task);
    void runDueBy(TimePoint limit);

    // Shared so a TimerHandle that outlives the scheduler cancels nothing
    // instead of touching freed memory.
    std::shared_ptr<Tasks> tasks_;
    const std::thread::id creator_;
    std::optional<Queue::Kind> running_;
};

}  // namespace kd
