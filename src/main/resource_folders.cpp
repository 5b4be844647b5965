#include "main/resource_folders.h"

#include <system_error>

namespace kd {

std::filesystem::path findResourceFolder(std::string_view name,
                                         const std::filesystem::path& executableFolder) {
    auto beside = executableFolder / name;
    auto installed = executableFolder.parent_path() / "share" / "kelvane-display" / name;
    std::error_code ignored;
    if (!std::filesystem::is_directory(beside, ignored) &&
        std::filesystem::is_directory(installed, ignored)) {
        return installed;
    }
    return beside;
}

std::filesystem::path resourceFolder(std::string_view name) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without /proc the folders are looked for relative to the working folder.
    return findResourceFolder(name, error ? std::filesystem::path() : self.parent_path());
}

}  // namespace kd
