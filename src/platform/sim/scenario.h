#pragma once

// What the simulated Mac is: its displays, frameworks, permissions and the
// devices around it. Read from JSON, strictly: an unknown key or a bad value
// is an error naming the file and the place.

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

struct ScenarioSidecarDevice {
    std::string name;
    std::string model;
    std::string identifier;
    bool offersDisplay = true;
};

struct ScenarioAirPlayReceiver {
    std::string name;
    std::string deviceID;  // its Screen Mirroring row is named after it, upper-cased
    std::string model;
    std::string features;
    int port = 7000;
    // How long after its Screen Mirroring row is clicked its screen comes up.
    int connectDelayMs = 2000;
    // A receiver that can only mirror: it never extends the desktop and never
    // asks how to join it, whatever the TV connect policy says.
    bool mirrorsInsteadOfExtending = false;
};

struct ScenarioMac {
    std::string model;  // "hw.model"
    std::string name;
};

// Errors the window server answers every configuration transaction with;
// 0 lets that step succeed.
struct ScenarioConfiguration {
    std::int32_t beginError = 0;
    std::int32_t completeError = 0;
};

struct Scenario {
    ScenarioMac mac;
    std::vector<ScenarioDisplay> displays;
    ScenarioConfiguration configuration;
    ScenarioSkyLight skyLight;
    ScenarioFramework sidecarCore;
    ScenarioFramework coreDisplay;
    bool accessibilityTrusted = true;
    std::vector<ScenarioSidecarDevice> sidecarDevices;
    std::vector<ScenarioAirPlayReceiver> airPlayReceivers;
    nlohmann::json sidecarSettings = nlohmann::json::object();  // the system's Sidecar defaults
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
