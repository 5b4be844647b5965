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
    : tasks_(std::make_shared<Tasks>()), creator_(std::this_thread::get_id()) {
    tasks_->now = kStart;
}

void VirtualScheduler::post(const Queue& queue, Task task) {
    schedule(Duration::zero(), queue, std::move(task));
}

TimerHandle VirtualScheduler::after(Duration delay, const Queue& queue, Task task) {
    const Key key = schedule(std::max(delay, Duration::zero()), queue, std::move(task));
    return TimerHandle(
        std::make_shared<std::function<void()>>([tasks = std::weak_ptr<Tasks>(tasks_), key] {
            if (auto live = tasks.lock()) {
                const std::lock_guard lock(live->mutex);
                live->map.erase(key);
            }
        }));
}

Scheduler::TimePoint VirtualScheduler::now() const {
    const std::lock_guard lock(tasks_->mutex);
    return tasks_->now;
}

std::size_t VirtualScheduler::pendingCount() const {
    const std::lock_guard lock(tasks_->mutex);
    return tasks_->map.size();
}

bool VirtualScheduler::onMainThread() const {
    // Every task runs on the creating thread; no other thread is ever main.
    if (std::this_thread::get_id() != creator_) return false;
    return !running_ || *running_ == Queue::Kind::main;
}

void VirtualScheduler::runUntilIdle() {
    runDueBy(now());
}

void VirtualScheduler::advance(Duration by) {
    const TimePoint target = now() + std::max(by, Duration::zero());
    runDueBy(target);
    const std::lock_guard lock(tasks_->mutex);
    tasks_->now = target;
}

VirtualScheduler::Key VirtualScheduler::schedule(Duration delay, const Queue& queue, Task task) {
    const std::lock_guard lock(tasks_->mutex);
    Key key{tasks_->now + delay, tasks_->nextSequence++};
    tasks_->map.emplace(key, Pending{queue, std::move(task)});
    return key;
}

void VirtualScheduler::runDueBy(TimePoint limit) {
    // A nested run would move time under the feet of the task that started it.
    if (running_) throw std::logic_error("VirtualScheduler run from inside one of its tasks");
    while (true) {
        std::unique_lock lock(tasks_->mutex);
        if (tasks_->map.empty() || tasks_->map.begin()->first.first > limit) return;
        // Taken out first so the task may post, cancel or reschedule freely.
        auto node = tasks_->map.extract(tasks_->map.begin());
        tasks_->now = node.key().first;
        lock.unlock();
        running_ = node.mapped().queue.kind();
        node.mapped().task();
        running_.reset();
    }
}

}  // namespace kd
