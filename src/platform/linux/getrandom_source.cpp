#include "platform/linux/getrandom_source.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>

namespace kd {

void GetrandomSource::fill(std::span<std::byte> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Large requests may come back short, and a signal may interrupt one.
        const ssize_t got = getrandom(bytes.data() + done, bytes.size() - done, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        done += static_cast<std::size_t>(got);
    }
}

}  // namespace kd
