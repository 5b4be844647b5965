#pragma once

// The Scheduler the program runs on, built on std::thread.
//
// Contract:
// - The thread that constructs it is the main thread; main-queue tasks are
//   handed to the MainLoopPoster, which must run them on that thread in the
//   order it received them.
// - Background tasks share a fixed pool of max(2, hardware threads) threads.
//   Each serial label gets one thread of its own. Every thread, the timer's
//   included, starts on first use: a scheduler nobody uses runs no thread.
// - Delayed tasks are held by one timer thread and handed to their queue when
//   due; a negative delay counts as zero.
// - Tasks must not throw: an escaping exception ends the process.
// - Destruction, which must not happen on one of its own threads, drops every
//   background, serial and delayed task that has not started, waits for
//   running tasks to finish and joins every thread; background and serial
//   posts made meanwhile are dropped. Main-queue tasks already given to the
//   poster are the main loop's to run or drop.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

#include "platform/scheduler.h"

namespace kd {

// Enqueues a function on the process's main event loop; callable from any
// thread.
using MainLoopPoster = std::function<void(std::function<void()>)>;

class ThreadScheduler : public Scheduler {
  public:
    explicit ThreadScheduler(MainLoopPoster postToMain);
    ~ThreadScheduler() override;
    ThreadScheduler(const ThreadScheduler&) = delete;
    ThreadScheduler& operator=(const ThreadScheduler&) = delete;

    void post(const Queue& queue, Task task) override;
    TimerHandle after(Duration delay, const Queue& queue, Task task) override;
    TimePoint now() const override { return Clock::now(); }
    bool onMainThread() const override { return std::this_thread::get_id() == mainThread_; }

  private:
    class TaskQueue;
    class TimedTask;
    struct Timer {
        TimePoint due;
        std::uint64_t sequence;
        Queue queue;
        std::shared_ptr<TimedTask> task;
        // Makes std::priority_queue, a max-heap, yield the earliest first.
        bool operator<(const Timer& other) const;
    };

    void runTimers();
    std::shared_ptr<TaskQueue> backgroundQueue();
    std::shared_ptr<TaskQueue> serialQueue(const std::string& label);

    const MainLoopPoster postToMain_;
    const std::thread::id mainThread_;

    // Threads start on first use, so a run that never waits starts none.
    std::mutex queuesMutex_;
    std::shared_ptr<TaskQueue> background_;
    std::map<std::string, std::shared_ptr<TaskQueue>> serialQueues_;
    bool queuesClosed_ = false;

    std::mutex timerMutex_;
    std::condition_variable timerWake_;
    std::priority_queue<Timer> timers_;
    std::uint64_t nextSequence_ = 0;
    bool timersStopped_ = false;
    std::thread timerThread_;  // started by the first `after`, under timerMutex_
};

}  // namespace kd
