#pragma once

// Files the user picked to send with the next support message: which kinds
// the service takes, and the limits that keep a message small.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kd {

inline constexpr std::size_t kMaxStagedFiles = 6;
inline constexpr std::uintmax_t kMaxStagedFileBytes = 8'388'608;

// The MIME type the service is told for a file of this name, matched on the
// extension in any case; absent for a kind it does not accept.
std::optional<std::string> supportMimeType(const std::string& path);

struct StagedFile {
    std::string id;    // new for every staging, even of the same file
    std::string path;  // where it was read from
    // The whole file as it was when staged; shared, so copies of the list
    // cost nothing.
    std::shared_ptr<const std::vector<std::uint8_t>> data;
    std::string mime;

    std::string name() const;
    std::string sizeLabel() const;
    std::span<const std::uint8_t> bytes() const { return *data; }

    friend bool operator==(const StagedFile& a, const StagedFile& b) {
        return a.id == b.id && a.path == b.path && a.data == b.data && a.mime == b.mime;
    }
};

// What reading a file for staging came to.
struct StagedRead {
    enum class Outcome { read, empty, tooLarge, unreadable };
    Outcome outcome = Outcome::unreadable;
    std::vector<std::uint8_t> bytes;  // when read
};

// Reads the whole file, never more than the limit allows: a file that grew
// past it since it was measured reads as too large. The file is copied, not
// mapped, so another program truncating it cannot bring this one down.
StagedRead readForStaging(const std::string& path);

}  // namespace kd
