#pragma once

// The connection sounds: the catalogue of choices and the four ways to play
// them. Sounds are fire and forget: every function returns at once, nothing
// waits for a sound and nothing fails visibly. Call them on the main thread.

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "platform/scheduler.h"
#include "platform/sound_player.h"

namespace kd {

struct SoundOption {
    // A file "NAME.aiff" in the bundled "Sounds" folder.
    struct Bundled {
        std::string_view name;
    };
    // One of the platform's alert sounds.
    struct System {
        std::string_view name;
    };
    struct None {};
    using Source = std::variant<Bundled, System, None>;

    std::string_view id;  // stored under "connectSound"
    std::string_view label;
    Source source;
};

// Display order. Disconnect sounds are bundled files named after the source
// with "_rev" appended, for system sounds too.
inline constexpr std::array<SoundOption, 10> soundOptions{{
    {"none", "None", SoundOption::None{}},
    {"waterbubble", "Water Bubble", SoundOption::Bundled{"WaterBubble"}},
    {"waterdropstutter", "Water Drop Stutter", SoundOption::Bundled{"WaterDropStutter"}},
    {"connectusb", "Connect USB", SoundOption::Bundled{"ConnectUSB"}},
    {"droplet", "Droplet", SoundOption::Bundled{"Droplet"}},
    {"bloop", "Bloop", SoundOption::Bundled{"Bloop"}},
    {"deepdrop", "Deep Drop", SoundOption::Bundled{"DeepDrop"}},
    {"bottle", "Bottle (system)", SoundOption::System{"Bottle"}},
    {"pop", "Pop (system)", SoundOption::System{"Pop"}},
    {"submarine", "Submarine (system)", SoundOption::System{"Submarine"}},
}};

inline constexpr const char* kConnectSoundKey = "connectSound";
inline constexpr const char* kDefaultSoundID = "waterbubble";

// What the sound functions play through. `soundsFolder` holds the bundled
// "NAME.aiff" files.
struct SoundContext {
    SoundPlayer& player;
    std::string soundsFolder;
    Scheduler& scheduler;
};

// Plays "NAME.aiff" from the sounds folder; a missing file plays nothing.
void playBundled(const SoundContext& sounds, std::string_view name);
// The connect sound of the option `id` (exact match); an unknown id or
// "none" plays nothing.
void playConnectSound(const SoundContext& sounds, std::string_view id);
// The "_rev" file of the option `id`, whether its source is bundled or system.
void playDisconnectSound(const SoundContext& sounds, std::string_view id);
// The connect sound now, and the disconnect sound on the main queue 0.25 s
// after the connect sound has ended (0.25 s from now when its length cannot
// be read). The context's player and scheduler must outlive that delay.
void previewSound(const SoundContext& sounds, std::string_view id);

}  // namespace kd
