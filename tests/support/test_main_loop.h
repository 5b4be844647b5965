#pragma once

// Stands in for the application's event loop in tests of the real scheduler:
// the test thread pumps it, with a bounded wait.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/linux/thread_scheduler.h"

namespace kd {

class TestMainLoop {
  public:
    explicit TestMainLoop(std::chrono::steady_clock::duration patience) : patience_(patience) {}

    MainLoopPoster poster() {
        return [this](std::function<void()> fn) {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(fn));
            arrived_.notify_one();
        };
    }

    // Runs posted functions until `done` holds or the patience runs out.
    bool runUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + patience_;
        std::unique_lock lock(mutex_);
        while (!done()) {
            if (!arrived_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) break;
            auto fn = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            fn();
            lock.lock();
        }
        return done();
    }

    // Waits, running nothing, until at least `count` functions are queued or
    // the patience runs out.
    bool waitForQueued(std::size_t count) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, patience_, [&] { return queue_.size() >= count; });
    }

    // Runs the functions queued now, not those they queue.
    void runQueued() {
        std::deque<std::function<void()>> now;
        {
            const std::lock_guard lock(mutex_);
            now.swap(queue_);
        }
        for (auto& fn : now) fn();
    }

  private:
    const std::chrono::steady_clock::duration patience_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace kd
