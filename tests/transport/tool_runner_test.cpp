#include "transport/tool_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ToolRunnerTest, GivesStandardOutputOrNothing) {
    struct Case {
        const char* what;
        std::string executable;
        std::vector<std::string> arguments;
        std::string want;
    };
    const Case cases[] = {
        {"output", "/bin/sh", {"-c", "echo Connected; echo noise >&2"}, "Connected\n"},
        {"a failing tool's output", "/bin/sh", {"-c", "echo partial; exit 4"}, "partial\n"},
        {"a flood on standard error",
         "/bin/sh",
         {"-c", "head -c 1048576 /dev/zero >&2; echo done"},
         "done\n"},
        {"a tool that hangs", "/bin/sh", {"-c", "echo partial; sleep 30"}, ""},
        {"invalid UTF-8", "/bin/sh", {"-c", "printf 'x\\377'"}, ""},
        {"a tool that is not there", "/nonexistent/scutil", {"--nc", "list"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        EXPECT_EQ(runTool(c.executable, c.arguments, 1s), c.want);
        EXPECT_LT(Clock::now() - start, 4s);
    }
}

}  // namespace
}  // namespace kd
