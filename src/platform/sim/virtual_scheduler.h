#pragma once

// A Scheduler for tests, driven by virtual time.
//
// Contract:
// - Single-threaded by design: every member, every task and every
//   TimerHandle::cancel must be used from the thread that created it. Tasks
//   of all queues run on that thread, only inside runUntilIdle or advance.
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
    TimePoint now() const override { return now_; }
    bool onMainThread() const override;

    // Runs every task due now, including those they post for now.
    void runUntilIdle();
    // Moves time forward by `by` (never back), running each task due on the
    // way with now() set to its due time.
    void advance(Duration by);
    // Tasks neither run nor cancelled.
    std::size_t pendingCount() const { return tasks_->size(); }

  private:
    using Key = std::pair<TimePoint, std::uint64_t>;
    struct Pending {
        Queue queue;
        Task task;
    };
    using TaskMap = std::map<Key, Pending>;

    Key schedule(TimePoint due, const Queue& queue, Task task);
    void runDueBy(TimePoint limit);

    TimePoint now_;
    std::uint64_t nextSequence_ = 0;
    // Shared so a TimerHandle that outlives the scheduler cancels nothing
    // instead of touching freed memory.
    std::shared_ptr<TaskMap> tasks_;
    const std::thread::id creator_;
    std::optional<Queue::Kind> running_;
};

}  // namespace kd
