#pragma once

// What the simulated Mac is: its displays, frameworks, permissions and the
// devices around it. Read from JSON, strictly: an unknown key or a bad value
// is an error naming the file and the place.
//
// The JSON keys are the field names below, nested as the structures are:
// "mac", "displays", "configuration", "skyLight", "sidecarCore",
// "coreDisplay", "accessibilityTrusted", "screenRecordingAllowed", "sidecarDevices",
// "airPlayReceivers", "network", "sidecarSettings", "power" and
// "virtualDisplays" at the top level. Only "mac" (with "model" and "name") and "displays" are
// required.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/display_services.h"

namespace kd {

// One mode of a display. A mode is its id at its refresh rate: a
// variable-refresh panel lists one id at several rates, but never one id
// twice at the same rate.
struct ScenarioMode {
    std::int32_t id = 0;
    int width = 0;
    int height = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    double refresh = 0;
    bool usable = true;
    bool duplicate = false;  // listed only when duplicate low-resolution modes are asked for
};

struct ScenarioHDR {
    bool supported = false;
    bool enabled = false;
    double potentialHeadroom = 1.0;
    double headroom = 1.0;
};

struct ScenarioDisplay {
    DisplayID id = 0;
    std::string name;
    bool builtIn = false;
    Rect bounds;
    bool active = true;      // in the screen list
    DisplayID mirrorOf = 0;  // the display it mirrors
    std::vector<ScenarioMode> modes;
    std::int32_t currentMode = 0;  // "currentMode": the id of the mode in use
    // "currentRefresh": the rate of the mode in use. Required when its id is
    // listed at more than one rate; without it the mode is the only one of that id.
    std::optional<double> currentRefresh;
    ScenarioHDR hdr;
};

// The mode in use: `currentMode` at `currentRefresh`, or the first mode of that
// id when no rate is given. Null when the display lists no such mode.
const ScenarioMode* currentModeOf(const ScenarioDisplay& display);

struct ScenarioSkyLight {
    bool present = true;
    std::vector<std::string> missingSymbols;
    std::int32_t tvConnectPolicy = 0;
    bool rejectPolicyChanges = false;
};

struct ScenarioFramework {
    bool present = true;
    std::vector<std::string> missingSymbols;
};

// The display configuration Sidecar proposes for an iPad.
struct ScenarioSidecarConfig {
    double width = 0;  // points
    double height = 0;
    double scale = 2;
    std::optional<double> framerate;
    std::optional<bool> hdr;
};

// Sidecar's error for a connect, as a system error object carries it.
struct ScenarioSidecarError {
    std::int64_t code = 0;
    std::optional<std::string> failureReason;
    std::string description = "The operation couldn\u2019t be completed.";
};

// What a connect to the iPad does.
struct ScenarioSidecarConnect {
    int delayMs = 1500;                         // until the completion, and on success the screen
    int busyTimes = 0;                          // connects answered with -100 first (still busy)
    std::optional<ScenarioSidecarError> error;  // every later connect fails so
};

struct ScenarioSidecarDevice {
    std::string name;
    std::string model;
    std::string identifier;
    bool offersDisplay = true;
    std::optional<ScenarioSidecarConfig> config;  // none: Sidecar proposes nothing
    ScenarioSidecarConnect connect;
};

struct ScenarioSidecar {
    bool present = true;
    // "SidecarDisplayManager" hides the class, "sharedManager" its selector.
    std::vector<std::string> missingSymbols;
    bool supported = true;  // this Mac can run Sidecar at all
};

struct ScenarioAirPlayReceiver {
    std::string name;
    std::string deviceID;  // its Screen Mirroring row is named after it, upper-cased
    std::string model;
    std::string features;
    int port = 7000;
    std::string pi;   // TXT "pi"; empty leaves the key out
    std::string psi;  // TXT "psi"; empty leaves the key out
    // The host name its service resolves to; empty: the name with every
    // character but letters, digits and '-' made '-', then ".local".
    std::string host;
    bool resolves = true;  // false: the network announces it, it never resolves
    // How long after its Screen Mirroring row is clicked its screen comes up.
    int connectDelayMs = 2000;
    // A receiver that can only mirror: it never extends the desktop and never
    // asks how to join it, whatever the TV connect policy says.
    bool mirrorsInsteadOfExtending = false;
};

struct ScenarioMac {
    std::string model;  // "hw.model"
    std::string name;
    // What "ioreg" says the product is, such as "MacBook Pro (14-inch, 2023)".
    std::string productName;
    std::string cpuBrand;  // "machdep.cpu.brand_string", such as "Apple M3 Pro"
    std::string osVersion = "14.5";  // "kern.osproductversion"
    std::string hostName;  // the Mac's own name on the network; may be empty
    bool vpnConnected = false;
    bool internetSharing = false;
};

// How the password prompt for administrator rights is answered.
enum class ScenarioAdminPrompt {
    allow,   // the password is given and the command runs
    cancel,  // the user cancels: error -128
    fail,    // the password is refused
};

// The Mac's power management ("power").
struct ScenarioPower {
    // "batteryTemperature": hundredths of a degree Celsius, 0 to 10000, as the
    // battery reports it; null: no battery.
    std::optional<int> batteryTemperature = 3000;
    // "cpuSpeedLimit": the percent of full speed the thermal report gives,
    // 0 to 100; null: no CPU power status recorded, as on Apple silicon.
    std::optional<int> cpuSpeedLimit;
    // "adminPrompt": "allow", "cancel" or "fail".
    ScenarioAdminPrompt adminPrompt = ScenarioAdminPrompt::allow;
};

// Where AirPlay receivers are found: "network" is "simulated" (the default)
// or "dns-sd".
enum class ScenarioNetwork {
    simulated,  // the scenario's receivers, announced on virtual time
    dnsSd,      // the real local network, through the system's DNS-SD service
};

// Errors the window server answers every configuration transaction with;
// 0 lets that step succeed.
struct ScenarioConfiguration {
    std::int32_t beginError = 0;
    std::int32_t completeError = 0;
};

// What the window server's virtual display classes do ("virtualDisplays").
struct ScenarioVirtualDisplays {
    bool refuse = false;       // every display is refused at creation
    bool rejectModes = false;  // every display rejects its settings
    // The most pixels (wide times high) the system can drive: it runs the
    // largest mode within them, and a display with none accepts its
    // settings but never comes online. None: no limit.
    std::optional<std::int64_t> largestPixels;
    // The system tears every display down this long after it came online.
    std::optional<int> terminateAfterMs;
};

struct Scenario {
    ScenarioMac mac;
    std::vector<ScenarioDisplay> displays;
    ScenarioConfiguration configuration;
    ScenarioSkyLight skyLight;
    ScenarioSidecar sidecarCore;
    ScenarioFramework coreDisplay;
    bool accessibilityTrusted = true;
    bool screenRecordingAllowed = true;
    std::vector<ScenarioSidecarDevice> sidecarDevices;
    std::vector<ScenarioAirPlayReceiver> airPlayReceivers;
    ScenarioNetwork network = ScenarioNetwork::simulated;
    nlohmann::json sidecarSettings = nlohmann::json::object();  // the system's Sidecar defaults
    ScenarioPower power;
    ScenarioVirtualDisplays virtualDisplays;
};

// A scenario that cannot be used; what() is one line: the file, the place and the problem.
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `source` names the file in messages.
Scenario parseScenario(const std::string& text, const std::string& source);
Scenario loadScenarioFile(const std::string& path);
// The built-in 14-inch MacBook Pro with an iPad in Sidecar reach and an Apple TV nearby.
Scenario defaultScenario();
const std::string& defaultScenarioJson();

}  // namespace kd
