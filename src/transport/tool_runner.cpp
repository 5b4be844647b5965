#include "transport/tool_runner.h"

#include "transport/child_process.h"
#include "transport/utf8.h"

namespace kd {

std::string runTool(const std::string& executable, const std::vector<std::string>& arguments,
                    std::chrono::steady_clock::duration timeout) {
    auto run = runChild(executable, arguments, timeout, ErrorStream::discard);
    if (run.launchError || run.timedOut || !isValidUtf8(run.out)) return {};
    return std::move(run.out);
}

}  // namespace kd
