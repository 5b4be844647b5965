#include "platform/sim/sim_sound_player.h"

#include <sndfile.h>

#include <array>
#include <string_view>
#include <utility>

namespace kd {

namespace {

// Seconds.
constexpr std::array<std::pair<std::string_view, double>, 3> kAlertSounds{
    {{"Bottle", 0.55}, {"Pop", 0.2}, {"Submarine", 0.8}}};

}  // namespace

void SimSoundPlayer::playFile(const std::string& path) {
    if (fileDuration(path)) record(PlayedSound::Kind::file, path);
}

void SimSoundPlayer::playSystemSound(const std::string& name) {
    if (systemSoundDuration(name)) record(PlayedSound::Kind::systemSound, name);
}

std::optional<double> SimSoundPlayer::fileDuration(const std::string& path) const {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return std::nullopt;
    sf_close(file);
    if (info.samplerate <= 0 || info.frames <= 0) return std::nullopt;
    return static_cast<double>(info.frames) / info.samplerate;
}

std::optional<double> SimSoundPlayer::systemSoundDuration(const std::string& name) const {
    for (const auto& [known, seconds] : kAlertSounds) {
        if (known == name) return seconds;
    }
    return std::nullopt;
}

std::vector<PlayedSound> SimSoundPlayer::played() const {
    const std::lock_guard lock(mutex_);
    return played_;
}

void SimSoundPlayer::record(PlayedSound::Kind kind, const std::string& what) {
    const auto at = scheduler_.now();
    const std::lock_guard lock(mutex_);
    played_.push_back({kind, what, at});
}

}  // namespace kd
