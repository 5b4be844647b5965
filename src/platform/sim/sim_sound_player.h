#pragma once

// The simulated Mac's speaker: it plays nothing and records every sound that
// a Mac would have played, with the scheduler's time. What a Mac would not
// play (a file that is missing or no sound, an alert sound it lacks) leaves
// no record, as it leaves no sound.
//
// File durations are read from the file's header. The Mac's alert sounds are
// Bottle, Pop and Submarine, with the lengths of the copies this program
// ships for Linux.
//
// Thread-safe: every member may be called from any thread.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/scheduler.h"
#include "platform/sound_player.h"

namespace kd {

struct PlayedSound {
    enum class Kind { file, systemSound };
    Kind kind;
    std::string what;  // the path, or the alert sound's name
    Scheduler::TimePoint at;

    friend bool operator==(const PlayedSound&, const PlayedSound&) = default;
};

class SimSoundPlayer : public SoundPlayer {
  public:
    explicit SimSoundPlayer(const Scheduler& scheduler) : scheduler_(scheduler) {}

    void playFile(const std::string& path) override;
    void playSystemSound(const std::string& name) override;
    std::optional<double> fileDuration(const std::string& path) const override;
    std::optional<double> systemSoundDuration(const std::string& name) const override;

    // Oldest first.
    std::vector<PlayedSound> played() const;

  private:
    void record(PlayedSound::Kind kind, const std::string& what);

    const Scheduler& scheduler_;
    mutable std::mutex mutex_;
    std::vector<PlayedSound> played_;
};

}  // namespace kd
