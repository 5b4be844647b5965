#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

#include "display/sim_screens.h"
#include "platform/linux/thread_scheduler.h"
#include "platform/sim/sim_screen_capture.h"
#include "platform/sim/sim_window_server.h"
#include "support/test_main_loop.h"
#include "virtual/display_streamer.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Long enough for a loaded thread-sanitizer run; reached only when a test fails.
constexpr auto kPatience = 30s;

// The owner stops on its own thread while frames are being encoded and
// delivered on the capture queue: once stop returns, no frame may arrive,
// and the callbacks are let go where they are used (the thread sanitizer
// checks that part).
TEST(DisplayStreamerThreadsTest, StopOnTheMainThreadEndsDeliveryAtOnce) {
    TestMainLoop loop{kPatience};
    std::atomic<int> lateFrames{0};
    {
        ThreadScheduler scheduler{loop.poster()};
        SimWindowServer windowServer({screens::display(40, "Virtual", {0, 0, 640, 360})},
                                     scheduler);
        SimScreenCapture capture(scheduler, windowServer);
        for (int round = 0; round < 5; ++round) {
            std::mutex mutex;
            std::condition_variable arrived;
            int delivered = 0;
            std::atomic<bool> stopReturned{false};
            DisplayStreamer streamer(scheduler, capture);
            streamer.setOnFrame([&](const JpegFrame&) {
                if (stopReturned.load()) ++lateFrames;
                std::lock_guard lock(mutex);
                ++delivered;
                arrived.notify_all();
            });
            streamer.start(40, 60, 640);
            {
                std::unique_lock lock(mutex);
                ASSERT_TRUE(
                    arrived.wait_for(lock, kPatience, [&] { return delivered >= 3 + round; }));
            }
            streamer.stop();
            stopReturned.store(true);
        }
        // The streams are released on the capture queue; a task posted there
        // after them runs once they are gone.
        std::promise<std::size_t> running;
        scheduler.post(Queue::serial(kCaptureQueueLabel),
                       [&] { running.set_value(capture.runningStreamCount()); });
        auto answer = running.get_future();
        ASSERT_EQ(answer.wait_for(kPatience), std::future_status::ready);
        EXPECT_EQ(answer.get(), 0u);
    }  // the scheduler's threads end here, with whatever was still queued
    EXPECT_EQ(lateFrames.load(), 0);
}

}  // namespace
}  // namespace kd
