#include <chrono>
#include <string>

#include "selftest/groups.h"
#include "transport/script_runner.h"

namespace kd::groups {

void testScriptTimeout(SelfTest& t, SelfTestContext& context) {
    using namespace std::chrono_literals;
    const auto& interpreter = context.scriptInterpreter;

    const auto started = std::chrono::steady_clock::now();
    const auto wedged = runAppleScript(interpreter, "delay 30", 1500ms);
    const auto took = std::chrono::steady_clock::now() - started;
    t.check("a wedged script is given up on", !wedged.ok, [] { return "it reported success"; });
    t.check("and its output comes back", !wedged.out.empty());
    t.check("and given up on promptly", took < 8s, [&] {
        return "took " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(took).count()) + "s";
    });

    const auto normal = runAppleScript(interpreter, "return 6 * 7", 10s);
    t.check("a normal script still runs", normal.ok && normal.out.find("42") != std::string::npos,
            [&] { return "got " + describe(normal.ok) + ", " + normal.out; });
}

}  // namespace kd::groups
