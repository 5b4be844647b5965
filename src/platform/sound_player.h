#pragma once

// Plays short sounds, fire and forget.
//
// Contract:
// - Every member may be called from any thread.
// - `playFile` and `playSystemSound` return at once; playback goes on by
//   itself, and sounds started close together may overlap or follow one
//   another. A file that is missing or cannot be read, an unknown system
//   sound or a machine without audio output plays nothing, and nothing is
//   reported: a sound is never worth an error.
// - The durations are in seconds, read from the sound itself; none when it
//   cannot be loaded.
// - System sounds are the platform's alert sounds, named without folder or
//   extension ("Bottle").

#include <optional>
#include <string>

namespace kd {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void playFile(const std::string& path) = 0;
    virtual void playSystemSound(const std::string& name) = 0;
    virtual std::optional<double> fileDuration(const std::string& path) const = 0;
    virtual std::optional<double> systemSoundDuration(const std::string& name) const = 0;
};

}  // namespace kd
