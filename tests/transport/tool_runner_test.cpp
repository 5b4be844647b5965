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
        std::chrono::seconds timeout;
        std::string want;
    };
    // A deadline that a busy machine cannot miss, but for the tool that is
    // meant to miss it.
    constexpr auto kAmple = 15s;
    const Case cases[] = {
        {"output", "/bin/sh", {"-c", "echo Connected; echo noise >&2"}, kAmple, "Connected\n"},
        {"a failing tool's output", "/bin/sh", {"-c", "echo partial; exit 4"}, kAmple, "partial\n"},
        {"a tool that hangs", "/bin/sh", {"-c", "echo partial; sleep 30"}, 1s, ""},
        {"invalid UTF-8", "/bin/sh", {"-c", "printf 'x\\377'"}, kAmple, ""},
        {"a tool that is not there", "/nonexistent/scutil", {"--nc", "list"}, kAmple, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        EXPECT_EQ(runTool(c.executable, c.arguments, c.timeout), c.want);
        // No hang: generous for a sanitizer build on two busy cores, and still
        // short of the 30-second sleep.
        EXPECT_LT(Clock::now() - start, 20s);
    }
}

}  // namespace
}  // namespace kd
