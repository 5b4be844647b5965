#include "platform/sim/virtual_scheduler.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kd {
namespace {

using std::chrono::milliseconds;
using Strings = std::vector<std::string>;

class VirtualSchedulerTest : public ::testing::Test {
  protected:
    // Logs the task's name with the virtual time it ran at.
    Scheduler::Task record(const std::string& name) {
        return [this, name] {
            const auto at = std::chrono::duration_cast<milliseconds>(scheduler.now() - start);
            log.push_back(name + "@" + std::to_string(at.count()));
        };
    }

    VirtualScheduler scheduler;
    const Scheduler::TimePoint start = scheduler.now();
    Strings log;
};

TEST_F(VirtualSchedulerTest, RunsByDueTimeThenPostingOrderWhateverTheQueue) {
    scheduler.after(milliseconds(30), Queue::main(), record("30 first"));
    scheduler.after(milliseconds(10), Queue::serial("s"), record("10"));
    scheduler.post(Queue::serial("s"), record("now serial"));
    scheduler.post(Queue::main(), record("now main"));
    scheduler.after(milliseconds(0), Queue::background(), record("now background"));
    scheduler.advance(milliseconds(20));
    scheduler.after(milliseconds(10), Queue::background(), record("30 second"));

    scheduler.advance(milliseconds(15));

    EXPECT_EQ(log, (Strings{"now serial@0", "now main@0", "now background@0", "10@10",
                            "30 first@30", "30 second@30"}));
    EXPECT_EQ(scheduler.now() - start, milliseconds(35));
}

TEST_F(VirtualSchedulerTest, TasksPostedWhileRunningRunWhenDueWithinTheSameAdvance) {
    scheduler.after(milliseconds(10), Queue::main(), [&] {
        scheduler.after(milliseconds(0), Queue::background(), record("zero delay"));
        scheduler.post(Queue::main(), record("posted"));
        scheduler.after(milliseconds(5), Queue::main(), record("beyond"));
    });

    scheduler.advance(milliseconds(12));
    EXPECT_EQ(log, (Strings{"zero delay@10", "posted@10"}));
    EXPECT_EQ(scheduler.pendingCount(), 1U);

    scheduler.runUntilIdle();
    EXPECT_EQ(scheduler.pendingCount(), 1U);
    scheduler.advance(milliseconds(3));
    EXPECT_EQ(log.back(), "beyond@15");
}

TEST_F(VirtualSchedulerTest, NegativeDelayIsDueNowBehindEarlierPosts) {
    scheduler.post(Queue::main(), record("posted"));
    scheduler.after(milliseconds(-5), Queue::main(), record("negative"));
    scheduler.advance(milliseconds(-5));

    scheduler.runUntilIdle();

    EXPECT_EQ(log, (Strings{"posted@0", "negative@0"}));
}

TEST_F(VirtualSchedulerTest, CancelledTasksNeverRunAndAreNotPending) {
    const TimerHandle beforeDue = scheduler.after(milliseconds(10), Queue::main(), record("a"));
    TimerHandle(beforeDue).cancel();
    EXPECT_EQ(scheduler.pendingCount(), 0U);

    TimerHandle sameTime;
    scheduler.after(milliseconds(10), Queue::main(), [&] { sameTime.cancel(); });
    sameTime = scheduler.after(milliseconds(10), Queue::main(), record("b"));
    const TimerHandle ran = scheduler.after(milliseconds(20), Queue::main(), record("ran"));
    scheduler.after(milliseconds(30), Queue::main(), record("later"));
    scheduler.advance(milliseconds(20));
    ran.cancel();
    scheduler.advance(milliseconds(10));

    EXPECT_EQ(log, (Strings{"ran@20", "later@30"}));
    TimerHandle orphan;
    {
        VirtualScheduler shortLived;
        orphan = shortLived.after(milliseconds(1), Queue::main(), [] {});
    }
    orphan.cancel();
}

TEST_F(VirtualSchedulerTest, OnMainThreadOnlyInMainTasksOrIdleOnTheCreatingThread) {
    std::vector<bool> inTasks;
    auto probe = [&] { inTasks.push_back(scheduler.onMainThread()); };
    scheduler.post(Queue::main(), probe);
    scheduler.post(Queue::background(), probe);
    scheduler.post(Queue::serial(kHttpQueueLabel), probe);
    scheduler.post(Queue::main(),
                   [&] { EXPECT_THROW(scheduler.runUntilIdle(), std::logic_error); });

    scheduler.runUntilIdle();

    EXPECT_EQ(inTasks, (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(scheduler.onMainThread());
    bool fromOtherThread = true;
    std::thread([&] { fromOtherThread = scheduler.onMainThread(); }).join();
    EXPECT_FALSE(fromOtherThread);
}

TEST_F(VirtualSchedulerTest, OtherThreadsPostAndCancelWhileTheTestRunsTasks) {
    std::vector<int> ran;
    std::thread poster([&] {
        for (int i = 0; i < 200; ++i) {
            scheduler.post(Queue::main(), [&ran, i] { ran.push_back(i); });
            scheduler.after(std::chrono::seconds(1), Queue::main(), [] { FAIL(); }).cancel();
        }
    });
    while (ran.size() < 200) scheduler.runUntilIdle();  // bounded by the poster's 200
    poster.join();
    scheduler.advance(std::chrono::seconds(2));
    for (int i = 0; i < 200; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

}  // namespace
}  // namespace kd
