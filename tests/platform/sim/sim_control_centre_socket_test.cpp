#include "platform/sim/sim_control_centre_socket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "platform/linux/thread_scheduler.h"
#include "platform/sim/scripting/control_centre_wire.h"
#include "platform/sim/scripting/line_socket.h"
#include "platform/sim/sim_mac.h"
#include "transport/airplay_mode_script.h"
#include "transport/mirror_script.h"
#include "transport/script_runner.h"

#include "support/test_main_loop.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Reached only when a test fails.
constexpr auto kPatience = 10s;
constexpr auto kScriptTimeout = 10s;
constexpr const char* kLivingRoom = "AA:BB:CC:DD:EE:FF";

Scenario quickTelevision() {
    auto scenario = defaultScenario();
    scenario.skyLight.tvConnectPolicy = 0;  // the panel asks
    scenario.airPlayReceivers.front().connectDelayMs = 50;
    return scenario;
}

AppleScriptRun runnerWith(const ScriptInterpreter& interpreter) {
    return [interpreter](const std::string& script) {
        return runAppleScript(interpreter, script, kScriptTimeout);
    };
}

// "FROM:TO: execution error: Device not found in Screen Mirroring menu (-2700)"
bool isNotFoundError(const std::string& text) {
    return std::regex_match(
        text,
        std::regex(
            R"(\d+:\d+: execution error: Device not found in Screen Mirroring menu \(-2700\)\n)"));
}

// The built-in scenario's Mac with its Control Centre open to scripts.
class SimControlCentreSocketTest : public ::testing::Test {
  protected:
    TestMainLoop loop{kPatience};
    ThreadScheduler scheduler{loop.poster()};
    SimMac mac{quickTelevision(), scheduler};
    std::optional<SimControlCentreSocket> socket{std::in_place, mac.controlCentre(), scheduler};
    ScriptInterpreter interpreter{KD_STAND_IN_INTERPRETER,
                                  {{kControlCentreSocketVariable, socket->path()}}};

    bool waitForScreen(const std::string& name) {
        const auto token = mac.windowServer().registerReconfigurationCallback(
            [](DisplayID, ReconfigurationFlags) {});
        return loop.runUntil([&] {
            const auto screens = mac.windowServer().screens();
            return std::any_of(screens.begin(), screens.end(),
                               [&](const ScreenInfo& s) { return s.localizedName == name; });
        });
    }

    // A raw connection to the socket, for clients that do not behave.
    UniqueFd rawClient() const {
        UniqueFd client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socket->path().copy(address.sun_path, sizeof(address.sun_path) - 1);
        EXPECT_EQ(
            ::connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)),
            0);
        return client;
    }
};

TEST_F(SimControlCentreSocketTest, GeneratedScriptsRunThroughTheStandInActOnTheMenu) {
    const auto run = runnerWith(interpreter);
    EXPECT_EQ(toggleDevice({kLivingRoom}, {}, MirrorIntent::connect, run),
              (ScriptResult{true, ""}));
    EXPECT_EQ(chooseAirPlayMode(AirPlayMode::extend, "Living Room", run), "chose");
    ASSERT_TRUE(waitForScreen("Living Room")) << "the screen comes once the delay passes";

    const auto received = mac.controlCentre().receivedScripts();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].text, toggleDeviceScript({kLivingRoom}, {}, MirrorIntent::connect))
        << "exactly the generated text";
    EXPECT_EQ(received[1].text,
              airPlayModeScript(AirPlayMode::extend, "Living Room", kAirPlayPanelWaitTicks));

    const auto missing = toggleDevice({"00:00"}, {}, MirrorIntent::connect, run);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(isNotFoundError(missing.out)) << missing.out;
}

TEST_F(SimControlCentreSocketTest, WithoutTheSocketTheMenuLacksTheDevice) {
    const auto path = socket->path();
    socket.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path).parent_path()))
        << "closing removes the socket and its folder";

    for (const auto& environment : std::vector<decltype(ScriptInterpreter::environment)>{
             {}, {{kControlCentreSocketVariable, path}}, {{kControlCentreSocketVariable, ""}}}) {
        const auto run = runnerWith(ScriptInterpreter{KD_STAND_IN_INTERPRETER, environment});
        const auto result = toggleDevice({kLivingRoom}, {}, MirrorIntent::connect, run);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(isNotFoundError(result.out)) << result.out;
        EXPECT_EQ(chooseAirPlayMode(AirPlayMode::extend, "Living Room", run), "none");
    }
    EXPECT_TRUE(mac.controlCentre().receivedScripts().empty());
}

TEST_F(SimControlCentreSocketTest, TheSocketsFolderIsPrivate) {
    struct stat folder {};
    ASSERT_EQ(::stat(std::filesystem::path(socket->path()).parent_path().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777U, 0700U);
}

TEST_F(SimControlCentreSocketTest, AClientThatStallsOrTalksNonsenseHoldsNobodyUp) {
    const auto stalled = rawClient();  // connects and never says a word
    const auto nonsense = rawClient();
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    ASSERT_TRUE(sendAll(nonsense.get(), "not a request\n", deadline));

    const auto run = runnerWith(interpreter);
    EXPECT_EQ(toggleDevice({kLivingRoom}, {}, MirrorIntent::connect, run),
              (ScriptResult{true, ""}));

    const auto reply = receiveLine(nonsense.get(), kControlCentreMessageLimit, deadline);
    ASSERT_TRUE(reply);
    const auto answer = decodeScriptAnswer(*reply);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 1);
    EXPECT_FALSE(answer->err.empty());
    EXPECT_EQ(mac.controlCentre().receivedScripts().size(), 1u);
}

}  // namespace
}  // namespace kd
