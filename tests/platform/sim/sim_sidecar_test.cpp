#include "platform/sim/sim_sidecar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "display/sim_screens.h"
#include "platform/linux/thread_scheduler.h"
#include "support/test_main_loop.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Generous: it only proves that nothing hangs, on a busy sanitizer build.
constexpr auto kNoHang = 30s;

// Sidecar answers on a thread of its own while the program reads its state
// from the main thread; the thread sanitizer watches both.
TEST(SimSidecarTest, CompletionsComeFromSidecarsOwnThreadAfterTheScreenIsUp) {
    TestMainLoop loop{kNoHang};
    ThreadScheduler scheduler(loop.poster());
    SimWindowServer server({screens::panel()}, scheduler);
    ScenarioSidecarDevice iPad;
    iPad.name = "Studio iPad";
    iPad.identifier = "5D3C";
    iPad.config = ScenarioSidecarConfig{1366, 1024, 2, 60, false};
    iPad.connect.delayMs = 20;
    iPad.connect.busyTimes = 1;
    auto sidecar = std::make_shared<SimSidecar>(std::vector{iPad}, server, scheduler);
    const auto device = sidecar->devices()->front();

    struct Answer {
        std::optional<SidecarError> error;
        std::thread::id thread;
        std::size_t screens;
    };
    std::mutex mutex;
    std::vector<Answer> answers;
    const auto completion = [&](std::optional<SidecarError> error) {
        {
            const std::lock_guard lock(mutex);
            answers.push_back(
                {std::move(error), std::this_thread::get_id(), server.screens().size()});
        }
        scheduler.post(Queue::main(), [] {});  // wakes the loop to look
    };
    const auto answered = [&](std::size_t count) {
        return loop.runUntil([&] {
            const std::lock_guard lock(mutex);
            return answers.size() >= count;
        });
    };

    sidecar->connectToDevice(*device, completion);
    ASSERT_TRUE(answered(1));
    sidecar->connectToDevice(*device, *sidecar->configForDevice(*device), completion);
    ASSERT_TRUE(answered(2));
    const std::lock_guard lock(mutex);
    ASSERT_TRUE(answers[0].error);
    EXPECT_EQ(answers[0].error->code, -100);
    EXPECT_FALSE(answers[1].error);
    EXPECT_EQ(answers[1].screens, 2u) << "the screen is up before Sidecar says so";
    EXPECT_NE(answers[1].thread, std::this_thread::get_id());
    EXPECT_EQ(sidecar->connectedNames(), std::vector<std::string>{"Studio iPad"});

    sidecar->drop("Studio iPad");
    EXPECT_EQ(server.screens().size(), 1u);
    EXPECT_TRUE(sidecar->connectedDevices()->empty());
}

}  // namespace
}  // namespace kd
