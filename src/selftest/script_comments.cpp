#include "selftest/script_comments.h"

namespace kd {

std::string withoutScriptComments(std::string_view script) {
    std::string out;
    out.reserve(script.size());
    while (true) {
        const auto end = script.find('\n');
        const auto line = script.substr(0, end);
        out += line.substr(0, line.find("--"));
        if (end == std::string_view::npos) break;
        out += '\n';
        script.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace kd
