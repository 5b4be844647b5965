#include "dock/sounds.h"

#include <chrono>
#include <cmath>
#include <optional>

namespace kd {

namespace {

constexpr std::chrono::milliseconds kPreviewPause{250};
// A length beyond this comes from a broken header, not from a sound.
constexpr double kLongestSound = 60.0;

const SoundOption* findOption(std::string_view id) {
    for (const auto& option : soundOptions) {
        if (option.id == id) return &option;
    }
    return nullptr;
}

// The name of a bundled or system source; none for silence.
std::optional<std::string_view> sourceName(const SoundOption::Source& source) {
    if (const auto* bundled = std::get_if<SoundOption::Bundled>(&source)) return bundled->name;
    if (const auto* system = std::get_if<SoundOption::System>(&source)) return system->name;
    return std::nullopt;
}

std::string bundledPath(const SoundContext& sounds, std::string_view name) {
    return sounds.soundsFolder + "/" + std::string(name) + ".aiff";
}

Scheduler::Duration connectSoundLength(const SoundContext& sounds, const SoundOption& option) {
    const auto name = sourceName(option.source);
    const auto seconds = std::holds_alternative<SoundOption::System>(option.source)
                             ? sounds.player.systemSoundDuration(std::string(*name))
                             : sounds.player.fileDuration(bundledPath(sounds, *name));
    const bool usable =
        seconds && std::isfinite(*seconds) && *seconds >= 0.0 && *seconds <= kLongestSound;
    return std::chrono::round<Scheduler::Duration>(
        std::chrono::duration<double>(usable ? *seconds : 0.0));
}

}  // namespace

void playBundled(const SoundContext& sounds, std::string_view name) {
    sounds.player.playFile(bundledPath(sounds, name));
}

void playConnectSound(const SoundContext& sounds, std::string_view id) {
    const auto* option = findOption(id);
    if (option == nullptr) return;
    if (const auto* bundled = std::get_if<SoundOption::Bundled>(&option->source)) {
        playBundled(sounds, bundled->name);
    } else if (const auto* system = std::get_if<SoundOption::System>(&option->source)) {
        sounds.player.playSystemSound(std::string(system->name));
    }
}

void playDisconnectSound(const SoundContext& sounds, std::string_view id) {
    const auto* option = findOption(id);
    if (option == nullptr) return;
    if (const auto name = sourceName(option->source)) {
        playBundled(sounds, std::string(*name) + "_rev");
    }
}

void previewSound(const SoundContext& sounds, std::string_view id) {
    const auto* option = findOption(id);
    if (option == nullptr || !sourceName(option->source)) return;
    const auto length = connectSoundLength(sounds, *option);
    playConnectSound(sounds, id);
    sounds.scheduler.after(length + kPreviewPause, Queue::main(),
                           [sounds, id = option->id] { playDisconnectSound(sounds, id); });
}

}  // namespace kd
