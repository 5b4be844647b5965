#include "platform/linux/sound_file.h"

#include <sndfile.h>

#include <memory>

namespace kd {

namespace {

// Longer files are refused rather than decoded whole into memory.
constexpr double kLongestSeconds = 60.0;

struct CloseSoundFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, CloseSoundFile>;

SoundFile openSound(const std::string& path, SF_INFO& info) {
    info = {};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) return nullptr;
    const bool sensible = info.samplerate > 0 && info.channels > 0 && info.frames > 0 &&
                          static_cast<double>(info.frames) / info.samplerate <= kLongestSeconds;
    return sensible ? std::move(file) : nullptr;
}

}  // namespace

std::optional<SoundSamples> readSoundFile(const std::string& path) {
    SF_INFO info;
    const auto file = openSound(path, info);
    if (!file) return std::nullopt;
    SoundSamples sound{info.samplerate, info.channels, {}};
    sound.interleaved.resize(static_cast<std::size_t>(info.frames) * info.channels);
    const auto frames = sf_readf_short(file.get(), sound.interleaved.data(), info.frames);
    if (frames <= 0) return std::nullopt;
    sound.interleaved.resize(static_cast<std::size_t>(frames) * info.channels);
    return sound;
}

std::optional<double> soundFileDuration(const std::string& path) {
    SF_INFO info;
    if (!openSound(path, info)) return std::nullopt;
    return static_cast<double>(info.frames) / info.samplerate;
}

}  // namespace kd
