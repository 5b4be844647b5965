#include "platform/linux/pulse_sound_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "platform/linux/thread_scheduler.h"
#include "support/test_main_loop.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Long enough for a loaded sanitizer run; reached only when a test fails.
constexpr auto kPatience = 30s;

const std::string kResources = KD_RESOURCES_DIR;

// Waits, bounded, until every sound handed to the player so far has been dealt with.
bool soundsDealtWith(Scheduler& scheduler) {
    std::promise<void> reached;
    auto future = reached.get_future();
    scheduler.post(Queue::serial(kSoundQueueLabel), [&reached] { reached.set_value(); });
    return future.wait_for(kPatience) == std::future_status::ready;
}

TEST(PulseSoundPlayerTest, WithoutAnAudioServerSoundsAreDroppedQuietlyAndTheCallerNeverWaits) {
    TestMainLoop loop(kPatience);
    ThreadScheduler scheduler(loop.poster());
    const auto nowhere = std::filesystem::path(::testing::TempDir()) / "kd-no-audio-server";
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds",
                            "unix:" + (nowhere / "native").string());

    // Hold the sound queue: a caller that waited for its sound would never get past play.
    std::promise<void> release;
    auto released = release.get_future().share();
    scheduler.post(Queue::serial(kSoundQueueLabel), [released] { released.wait_for(kPatience); });

    ::testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        player.playFile(kResources + "/Sounds/WaterBubble.aiff");
        player.playSystemSound("Submarine");
        player.playFile(kResources + "/Sounds/NoSuchSound.aiff");
    }
    release.set_value();
    const bool finished = soundsDealtWith(scheduler);
    const auto printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(finished);
    EXPECT_EQ(printed, "");
}

TEST(PulseSoundPlayerTest, LengthsComeFromTheFilesAndAlertSoundsFromTheirFolder) {
    TestMainLoop loop(kPatience);
    ThreadScheduler scheduler(loop.poster());
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds");
    EXPECT_EQ(player.fileDuration(kResources + "/Sounds/DeepDrop.aiff"), 0.65);
    EXPECT_EQ(player.systemSoundDuration("Submarine"), 0.8);
    // A missing file, a file that is no sound, and names that are not alert sounds.
    EXPECT_EQ(player.fileDuration(kResources + "/Sounds/NoSuchSound.aiff"), std::nullopt);
    EXPECT_EQ(player.fileDuration(kResources + "/scenarios/default.json"), std::nullopt);
    for (const auto* name : {"Basso", "", "../Sounds/DeepDrop", "Submarine.aiff"}) {
        EXPECT_EQ(player.systemSoundDuration(name), std::nullopt) << name;
    }
}

}  // namespace
}  // namespace kd
