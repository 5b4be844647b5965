#include "platform/linux/thread_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/test_main_loop.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Duration = Scheduler::Duration;

// Long enough for a loaded thread-sanitizer run; reached only when a test fails.
constexpr Duration kPatience = 10s;

class Counter {
  public:
    // Notifies under the lock: a waiter may destroy the counter as soon as it
    // sees the new count.
    void arrive() {
        std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    bool waitFor(int count, Duration timeout = kPatience) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return count_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

TEST(ThreadSchedulerTest, SerialQueueRunsInOrderOneAtATimeOffTheMainThread) {
    constexpr int kTasks = 300;
    TestMainLoop loop{kPatience};
    Counter done;
    std::atomic<int> inside{0};
    std::atomic<bool> wrong{false};
    int next = 0;
    ThreadScheduler scheduler(loop.poster());

    for (int i = 0; i < kTasks; ++i) {
        scheduler.post(Queue::serial(kCaptureQueueLabel), [&, i] {
            if (inside.fetch_add(1) != 0 || next++ != i || scheduler.onMainThread()) wrong = true;
            inside.fetch_sub(1);
            done.arrive();
        });
    }

    ASSERT_TRUE(done.waitFor(kTasks));
    EXPECT_FALSE(wrong);
}

TEST(ThreadSchedulerTest, BackgroundTasksAndDistinctSerialQueuesRunConcurrently) {
    TestMainLoop loop{kPatience};
    Counter arrived;
    Counter finished;
    std::atomic<int> met{0};
    ThreadScheduler scheduler(loop.poster());
    // Each waits for the other, so both meet only if they run at once.
    auto meet = [&] {
        arrived.arrive();
        if (arrived.waitFor(2)) ++met;
        finished.arrive();
    };

    scheduler.post(Queue::background(), meet);
    scheduler.post(Queue::background(), meet);
    ASSERT_TRUE(finished.waitFor(2, 2 * kPatience));
    scheduler.post(Queue::serial(kHttpQueueLabel), meet);
    scheduler.post(Queue::serial(kVirtualDisplayQueueLabel), meet);
    ASSERT_TRUE(finished.waitFor(4, 2 * kPatience));
    EXPECT_EQ(met, 4);
}

TEST(ThreadSchedulerTest, TimersWaitTheirDelayThenRunByDueTimeAndPostingOrder) {
    TestMainLoop loop{kPatience};
    std::vector<std::string> order;
    Duration waited{};
    ThreadScheduler scheduler(loop.poster());
    const auto start = scheduler.now();
    auto record = [&](const std::string& name) {
        return [&, name] {
            order.push_back(name);
            waited = scheduler.now() - start;
            EXPECT_TRUE(scheduler.onMainThread());
        };
    };

    scheduler.after(60ms, Queue::main(), record("late"));
    scheduler.after(20ms, Queue::main(), record("first"));
    scheduler.after(20ms, Queue::main(), record("second"));

    ASSERT_TRUE(loop.runUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "late"}));
    EXPECT_GE(waited, 60ms);
}

TEST(ThreadSchedulerTest, CancelledTimerNeverStarts) {
    TestMainLoop loop{kPatience};
    Counter released;
    Counter handedOver;
    Counter sentinel;
    std::atomic<bool> cancelledRan{false};
    ThreadScheduler scheduler(loop.poster());
    const Queue queue = Queue::serial("cancel");

    scheduler.after(30ms, queue, [&] { cancelledRan = true; }).cancel();
    // Cancelled once handed to its queue, where it waits behind a busy task;
    // the timer hands tasks over in due order, so the later one tells when.
    scheduler.post(queue, [&] { released.waitFor(1); });
    const TimerHandle queued = scheduler.after(0ms, queue, [&] { cancelledRan = true; });
    scheduler.after(0ms, Queue::background(), [&] { handedOver.arrive(); });
    ASSERT_TRUE(handedOver.waitFor(1));
    queued.cancel();
    released.arrive();
    // Same queue and a later due time, so it runs after both would have.
    scheduler.after(60ms, queue, [&] { sentinel.arrive(); });

    ASSERT_TRUE(sentinel.waitFor(1));
    EXPECT_FALSE(cancelledRan);
}

TEST(ThreadSchedulerTest, PostsFromManyThreadsAllArrive) {
    constexpr int kThreads = 8;
    constexpr int kPerThread = 250;
    TestMainLoop loop{kPatience};
    Counter offMain;
    int onMain = 0;
    ThreadScheduler scheduler(loop.poster());

    std::vector<std::thread> posters;
    posters.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&] {
            for (int i = 0; i < kPerThread; ++i) {
                scheduler.post(Queue::main(), [&] { ++onMain; });
                scheduler.post(Queue::serial("fan-in"), [&] { offMain.arrive(); });
                scheduler.post(Queue::background(), [&] { offMain.arrive(); });
            }
        });
    }
    for (auto& poster : posters) poster.join();

    EXPECT_TRUE(loop.runUntil([&] { return onMain == kThreads * kPerThread; }));
    EXPECT_TRUE(offMain.waitFor(2 * kThreads * kPerThread));
}

TEST(ThreadSchedulerTest, DestructionDropsWaitingWorkLetsRunningWorkFinishAndJoins) {
    TestMainLoop loop{kPatience};
    Counter started;
    Counter dropped;
    std::atomic<int> sawDrop{0};
    std::atomic<int> finished{0};
    std::atomic<int> shouldNotRun{0};
    TimerHandle orphan;
    auto scheduler = std::make_unique<ThreadScheduler>(loop.poster());
    ThreadScheduler* raw = scheduler.get();
    const std::vector<Queue> busy{Queue::serial("busy 1"), Queue::serial("busy 2")};

    for (const Queue& queue : busy) {
        raw->post(queue, [&, queue] {
            started.arrive();
            if (dropped.waitFor(1)) ++sawDrop;
            raw->post(queue, [&] { ++shouldNotRun; });
            raw->post(Queue::serial("opened during shutdown"), [&] { ++shouldNotRun; });
            raw->after(0ms, Queue::background(), [&] { ++shouldNotRun; });
            ++finished;
        });
    }
    {
        // Fires once every waiting task holding a copy has been destroyed.
        std::shared_ptr<void> guard(nullptr, [&](void*) { dropped.arrive(); });
        for (const Queue& queue : busy) raw->post(queue, [&, guard] { ++shouldNotRun; });
        orphan = raw->after(1h, Queue::background(), [&, guard] { ++shouldNotRun; });
    }
    ASSERT_TRUE(started.waitFor(2));

    scheduler.reset();
    orphan.cancel();

    EXPECT_EQ(sawDrop, 2);
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(shouldNotRun, 0);
}

}  // namespace
}  // namespace kd
