#pragma once

// Plays sounds through the PulseAudio server (or PipeWire's stand-in for it)
// with libpulse.
//
// Contract, beyond the SoundPlayer port:
// - Each sound is read and played as one task on the serial queue
//   kSoundQueueLabel, so the caller never waits and sounds follow one another
//   instead of mixing. A stuck audio server holds that queue only, never the
//   shared background pool.
// - Each sound opens its own connection. Without a server (nothing listens,
//   or no session at all) the connection fails at once and the sound is
//   dropped; nothing is printed, and the next sound tries again, so sound
//   comes back when the server does.
// - Every wait is bounded: a sound that has not been played to its end
//   kSoundGrace after its own length (a server that does not answer, or stops
//   taking sound) is given up, and the queue moves on.
// - Linux has no named alert sounds of its own, so the program ships three:
//   "NAME" plays `systemSoundsFolder`/NAME.aiff, as a Mac plays
//   /System/Library/Sounds/NAME.aiff.
// - The player may be destroyed while its sounds still play or wait: their
//   tasks hold copies of what they need.

#include <chrono>
#include <optional>
#include <string>

#include "platform/scheduler.h"
#include "platform/sound_player.h"

namespace kd {

inline constexpr const char* kSoundQueueLabel = "com.kelvane1.display.sound";
inline constexpr std::chrono::seconds kSoundGrace{2};

class PulseSoundPlayer : public SoundPlayer {
  public:
    // `server` is a libpulse server string ("unix:/run/user/1000/pulse/native");
    // none uses the session's default server.
    PulseSoundPlayer(Scheduler& scheduler, std::string systemSoundsFolder,
                     std::optional<std::string> server = std::nullopt);

    void playFile(const std::string& path) override;
    void playSystemSound(const std::string& name) override;
    std::optional<double> fileDuration(const std::string& path) const override;
    std::optional<double> systemSoundDuration(const std::string& name) const override;

  private:
    std::optional<std::string> systemSoundPath(const std::string& name) const;

    Scheduler& scheduler_;
    const std::string systemSoundsFolder_;
    const std::optional<std::string> server_;
};

}  // namespace kd
