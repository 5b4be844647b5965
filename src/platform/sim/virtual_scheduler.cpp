#include "platform/sim/virtual_scheduler.h"

#include <algorithm>
#include <stdexcept>

namespace kd {

namespace {

// Far from the clock's epoch, so code that mistakes a time point for a
// duration fails under test too.
constexpr auto kStart = Scheduler::TimePoint(std::chrono::hours(24 * 1000));

}  // namespace

VirtualScheduler::VirtualScheduler()
    : now_(kStart), tasks_(std::make_shared<TaskMap>()), creator_(std::this_thread::get_id()) {}

void VirtualScheduler::post(const Queue& queue, Task task) {
    schedule(now_, queue, std::move(task));
}

TimerHandle VirtualScheduler::after(Duration delay, const Queue& queue, Task task) {
    const Key key = schedule(now_ + std::max(delay, Duration::zero()), queue, std::move(task));
    return TimerHandle(
        std::make_shared<std::function<void()>>([tasks = std::weak_ptr<TaskMap>(tasks_), key] {
            if (auto live = tasks.lock()) live->erase(key);
        }));
}

bool VirtualScheduler::onMainThread() const {
    if (running_) return *running_ == Queue::Kind::main;
    return std::this_thread::get_id() == creator_;
}

void VirtualScheduler::runUntilIdle() {
    runDueBy(now_);
}

void VirtualScheduler::advance(Duration by) {
    const TimePoint target = now_ + std::max(by, Duration::zero());
    runDueBy(target);
    now_ = target;
}

VirtualScheduler::Key VirtualScheduler::schedule(TimePoint due, const Queue& queue, Task task) {
    Key key{due, nextSequence_++};
    tasks_->emplace(key, Pending{queue, std::move(task)});
    return key;
}

void VirtualScheduler::runDueBy(TimePoint limit) {
    // A nested run would move time under the feet of the task that started it.
    if (running_) throw std::logic_error("VirtualScheduler run from inside one of its tasks");
    while (!tasks_->empty() && tasks_->begin()->first.first <= limit) {
        // Taken out first so the task may post, cancel or reschedule freely.
        auto node = tasks_->extract(tasks_->begin());
        now_ = node.key().first;
        running_ = node.mapped().queue.kind();
        node.mapped().task();
        running_.reset();
    }
}

}  // namespace kd
