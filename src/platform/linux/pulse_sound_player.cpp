#include "platform/linux/pulse_sound_player.h"

#include <pulse/simple.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <utility>

#include "platform/linux/sound_file.h"

namespace kd {

namespace {

constexpr const char* kApplicationName = "Kelvane Display";

struct FreeStream {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};

void play(const std::string& path, const std::optional<std::string>& server) {
    const auto sound = readSoundFile(path);
    if (!sound) return;
    if (sound->channels > static_cast<int>(PA_CHANNELS_MAX)) return;
    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(sound->rate),
                              static_cast<std::uint8_t>(sound->channels)};
    if (!pa_sample_spec_valid(&spec)) return;
    const auto bytes = sound->interleaved.size() * sizeof(std::int16_t);
    if (bytes > std::numeric_limits<std::uint32_t>::max()) return;
    // A target length of the whole sound lets the one write go through on the
    // server's first request, so only replies with libpulse's timeout remain.
    const auto unset = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{unset, static_cast<std::uint32_t>(bytes), unset, unset, unset};
    int error = 0;
    const std::unique_ptr<pa_simple, FreeStream> stream(pa_simple_new(
        server ? server->c_str() : nullptr, kApplicationName, PA_STREAM_PLAYBACK, nullptr,
        std::filesystem::path(path).stem().c_str(), &spec, nullptr, &buffer, &error));
    if (!stream) return;
    if (pa_simple_write(stream.get(), sound->interleaved.data(), bytes, &error) < 0) return;
    // Freeing the stream before the server has played it would cut it off.
    pa_simple_drain(stream.get(), &error);
}

}  // namespace

PulseSoundPlayer::PulseSoundPlayer(Scheduler& scheduler, std::string systemSoundsFolder,
                                   std::optional<std::string> server)
    : scheduler_(scheduler),
      systemSoundsFolder_(std::move(systemSoundsFolder)),
      server_(std::move(server)) {}

void PulseSoundPlayer::playFile(const std::string& path) {
    scheduler_.post(Queue::serial(kSoundQueueLabel),
                    [path, server = server_] { play(path, server); });
}

void PulseSoundPlayer::playSystemSound(const std::string& name) {
    if (const auto path = systemSoundPath(name)) playFile(*path);
}

std::optional<double> PulseSoundPlayer::fileDuration(const std::string& path) const {
    return soundFileDuration(path);
}

std::optional<double> PulseSoundPlayer::systemSoundDuration(const std::string& name) const {
    const auto path = systemSoundPath(name);
    return path ? soundFileDuration(*path) : std::nullopt;
}

std::optional<std::string> PulseSoundPlayer::systemSoundPath(const std::string& name) const {
    // A name, not a path: nothing outside the folder plays as a system sound.
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    return systemSoundsFolder_ + "/" + name + ".aiff";
}

}  // namespace kd
