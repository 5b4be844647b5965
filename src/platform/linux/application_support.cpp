#include "platform/linux/application_support.h"

#include <cstdlib>
#include <stdexcept>

namespace kd {

std::filesystem::path applicationSupportFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) return xdg;
    const char* home = std::getenv("HOME");
    if (home != nullptr && std::filesystem::path(home).is_absolute()) {
        return std::filesystem::path(home) / ".local" / "share";
    }
    throw std::runtime_error("neither XDG_DATA_HOME nor HOME is an absolute path");
}

}  // namespace kd
