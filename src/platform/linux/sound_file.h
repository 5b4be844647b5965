#pragma once

// Sound files read with libsndfile (AIFF, WAV, FLAC and the rest it knows).
// Thread-safe; each call opens the file anew.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kd {

struct SoundSamples {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> interleaved;  // frames × channels
};

// The whole sound as 16-bit samples; none when the file is missing, not a
// sound, empty, or longer than a connection sound could sensibly be.
std::optional<SoundSamples> readSoundFile(const std::string& path);

// Seconds, from the header alone; none as for readSoundFile.
std::optional<double> soundFileDuration(const std::string& path);

}  // namespace kd
