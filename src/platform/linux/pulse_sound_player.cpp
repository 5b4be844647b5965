#include "platform/linux/pulse_sound_player.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/linux/sound_file.h"

namespace kd {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kApplicationName = "Kelvane Display";

struct FreeMainloop {
    void operator()(pa_mainloop* loop) const { pa_mainloop_free(loop); }
};
struct EndContext {
    void operator()(pa_context* context) const {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct EndStream {
    void operator()(pa_stream* stream) const {
        // Whatever the server has not played yet is dropped with the stream.
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }
};

// One sound, from connecting to the server until the server has played it
// all, driven on this thread and given up at `deadline`. libpulse's simple
// API would wait without end for a server that stops taking sound; its
// asynchronous one lets every wait here end at the deadline.
class Playback {
  public:
    Playback(const SoundSamples& sound, std::string name, Clock::time_point deadline)
        : sound_(sound), name_(std::move(name)), deadline_(deadline) {}

    void run(const std::optional<std::string>& server) {
        loop_.reset(pa_mainloop_new());
        if (!loop_) return;
        context_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), kApplicationName));
        if (!context_ || pa_context_connect(context_.get(), server ? server->c_str() : nullptr,
                                            PA_CONTEXT_NOFLAGS, nullptr) < 0) {
            return;
        }
        while (!drained_ && waitForEvents() && advance()) {
        }
    }

  private:
    // Dispatches what arrives until the deadline; false once it has passed
    // or the loop broke.
    bool waitForEvents() {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - Clock::now());
        if (left.count() <= 0) return false;
        return pa_mainloop_prepare(loop_.get(), static_cast<int>(left.count())) >= 0 &&
               pa_mainloop_poll(loop_.get()) >= 0 && pa_mainloop_dispatch(loop_.get()) >= 0;
    }

    // One step further as far as the server lets; false when it failed.
    bool advance() {
        const auto contextState = pa_context_get_state(context_.get());
        if (!PA_CONTEXT_IS_GOOD(contextState)) return false;
        if (contextState != PA_CONTEXT_READY) return true;
        if (!stream_) return openStream();
        const auto streamState = pa_stream_get_state(stream_.get());
        if (!PA_STREAM_IS_GOOD(streamState)) return false;
        if (streamState != PA_STREAM_READY) return true;
        return written_ || (writeAll() && startDrain());
    }

    bool openStream() {
        const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(sound_.rate),
                                  static_cast<std::uint8_t>(sound_.channels)};
        stream_.reset(pa_stream_new(context_.get(), name_.c_str(), &spec, nullptr));
        // The server starts the sound only once all of it has arrived: a sink
        // that ran ahead of the pieces would put silence between them.
        const auto unset = static_cast<std::uint32_t>(-1);
        const auto whole = static_cast<std::uint32_t>(bytes());
        const pa_buffer_attr buffer{unset, whole, whole, unset, unset};
        return stream_ && pa_stream_connect_playback(stream_.get(), nullptr, &buffer,
                                                     PA_STREAM_NOFLAGS, nullptr, nullptr) >= 0;
    }

    // All at once, more than the server asked for, so that it all arrives
    // without waiting for the server to ask again.
    bool writeAll() {
        if (pa_stream_write(stream_.get(), sound_.interleaved.data(), bytes(), nullptr, 0,
                            PA_SEEK_RELATIVE) < 0) {
            return false;
        }
        written_ = true;
        return true;
    }

    // Closing the stream before the server has played it would cut it off.
    bool startDrain() {
        auto* drain = pa_stream_drain(
            stream_.get(), [](pa_stream*, int, void* done) { *static_cast<bool*>(done) = true; },
            &drained_);
        if (drain == nullptr) return false;
        pa_operation_unref(drain);
        return true;
    }

    std::size_t bytes() const { return sound_.interleaved.size() * sizeof(std::int16_t); }

    const SoundSamples& sound_;
    const std::string name_;
    const Clock::time_point deadline_;
    // Declared so that the stream goes first, then the context, then the loop.
    std::unique_ptr<pa_mainloop, FreeMainloop> loop_;
    std::unique_ptr<pa_context, EndContext> context_;
    std::unique_ptr<pa_stream, EndStream> stream_;
    bool written_ = false;
    bool drained_ = false;
};

void play(const std::string& path, const std::optional<std::string>& server) {
    const auto sound = readSoundFile(path);
    if (!sound || sound->channels > static_cast<int>(PA_CHANNELS_MAX)) return;
    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(sound->rate),
                              static_cast<std::uint8_t>(sound->channels)};
    if (!pa_sample_spec_valid(&spec)) return;
    const auto length = std::chrono::duration<double>(
        static_cast<double>(sound->interleaved.size()) / sound->channels / sound->rate);
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(length) + kSoundGrace;
    Playback(*sound, std::filesystem::path(path).stem().string(), deadline).run(server);
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
