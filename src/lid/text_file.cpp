#include "lid/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/unique_fd.h"
#include "platform/write_all.h"
#include "transport/utf8.h"

namespace kd {

bool writeTextFile(const std::string& path, std::string_view text) {
    const std::filesystem::path file(path);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) return false;
    std::string temporary = path + ".XXXXXX";
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.isOpen()) return false;
    // mkostemp makes the file private; root's copy step and the user's own
    // tools read these like any other file the user writes.
    const bool written =
        ::fchmod(fd.get(), 0644) == 0 && writeAll(fd.get(), text) == 0 && ::fsync(fd.get()) == 0;
    fd.reset();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    auto contents = text.str();
    if (!isValidUtf8(contents)) return std::nullopt;
    return contents;
}

}  // namespace kd
