// The sound files the program ships, checked against the catalogue.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

#include "dock/sounds.h"
#include "platform/linux/sound_file.h"
#include "platform/sim/sim_sound_player.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

const std::string kResources = KD_RESOURCES_DIR;

// Where the connect sound of a choice is shipped; none for silence.
std::optional<std::string> connectFile(const SoundOption& option) {
    if (const auto* bundled = std::get_if<SoundOption::Bundled>(&option.source)) {
        return kResources + "/Sounds/" + std::string(bundled->name) + ".aiff";
    }
    if (const auto* system = std::get_if<SoundOption::System>(&option.source)) {
        return kResources + "/SystemSounds/" + std::string(system->name) + ".aiff";
    }
    return std::nullopt;
}

std::string disconnectFile(const SoundOption& option) {
    const auto* bundled = std::get_if<SoundOption::Bundled>(&option.source);
    const auto* system = std::get_if<SoundOption::System>(&option.source);
    return kResources + "/Sounds/" + std::string(bundled ? bundled->name : system->name) +
           "_rev.aiff";
}

TEST(SoundAssetsTest, EveryChoiceHasAShortCleanSoundAndItsExactReversal) {
    int checked = 0;
    for (const auto& option : soundOptions) {
        const auto path = connectFile(option);
        if (!path) continue;
        SCOPED_TRACE(*path);
        const auto sound = readSoundFile(*path);
        const auto reversed = readSoundFile(disconnectFile(option));
        ASSERT_TRUE(sound && reversed);
        EXPECT_EQ(sound->rate, 44100);
        EXPECT_EQ(sound->channels, 1);
        const double seconds = static_cast<double>(sound->interleaved.size()) / sound->rate;
        EXPECT_GE(seconds, 0.1);
        EXPECT_LE(seconds, 1.0);
        // Faded in and out: a sound that starts or stops on a step clicks.
        EXPECT_LE(std::abs(sound->interleaved.front()), 64);
        EXPECT_LE(std::abs(sound->interleaved.back()), 64);
        EXPECT_TRUE(std::equal(sound->interleaved.begin(), sound->interleaved.end(),
                               reversed->interleaved.rbegin(), reversed->interleaved.rend()));
        EXPECT_EQ(reversed->rate, sound->rate);
        ++checked;
    }
    EXPECT_EQ(checked, 9);
}

TEST(SoundAssetsTest, TheSimulatedMacsAlertSoundsLastAsLongAsTheShippedOnes) {
    VirtualScheduler scheduler;
    const SimSoundPlayer player(scheduler);
    for (const auto& option : soundOptions) {
        const auto* system = std::get_if<SoundOption::System>(&option.source);
        if (system == nullptr) continue;
        const std::string name(system->name);
        const auto shipped = soundFileDuration(kResources + "/SystemSounds/" + name + ".aiff");
        const auto simulated = player.systemSoundDuration(name);
        ASSERT_TRUE(shipped && simulated) << name;
        EXPECT_NEAR(*simulated, *shipped, 0.001) << name;
    }
}

}  // namespace
}  // namespace kd
