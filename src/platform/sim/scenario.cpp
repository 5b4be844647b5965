#include "platform/sim/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <set>
#include <sstream>
#include <utility>

namespace kd {

namespace {

using nlohmann::json;

// A JSON value with the place it was found at, so every complaint can say where.
class Node {
  public:
    Node(const json& value, std::string place, const std::string& source)
        : value_(value), place_(std::move(place)), source_(source) {}

    [[noreturn]] void fail(const std::string& problem) const {
        throw ScenarioError("scenario " + source_ + ": at " + place_ + ": " + problem);
    }

    // Requires an object holding only `allowed` keys.
    void expectObject(std::initializer_list<const char*> allowed) const {
        if (!value_.is_object()) fail("expected an object");
        const std::set<std::string> known(allowed.begin(), allowed.end());
        for (const auto& [key, unused] : value_.items()) {
            if (!known.contains(key)) child(key).fail("unknown key \"" + key + "\"");
        }
    }

    bool has(const char* key) const { return value_.contains(key); }
    Node operator[](const char* key) const {
        if (!value_.contains(key)) fail(std::string("missing key \"") + key + "\"");
        return child(key);
    }
    Node child(const std::string& key) const {
        return Node(value_.at(key), place_ == "top level" ? key : place_ + "." + key, source_);
    }

    std::vector<Node> elements() const {
        if (!value_.is_array()) fail("expected an array");
        std::vector<Node> out;
        for (std::size_t i = 0; i < value_.size(); ++i) {
            out.emplace_back(
                value_[i],
                (place_ == "top level" ? std::string() : place_) + "[" + std::to_string(i) + "]",
                source_);
        }
        return out;
    }

    bool boolean() const {
        if (!value_.is_boolean()) fail("expected true or false");
        return value_.get<bool>();
    }
    std::string text() const {
        if (!value_.is_string()) fail("expected a string");
        return value_.get<std::string>();
    }
    double number() const {
        if (!value_.is_number()) fail("expected a number");
        const double d = value_.get<double>();
        if (!std::isfinite(d)) fail("expected a finite number");
        return d;
    }
    std::int64_t integer(std::int64_t min, std::int64_t max) const {
        if (!value_.is_number_integer()) fail("expected an integer");
        const auto v =
            value_.is_number_unsigned()
                ? static_cast<std::int64_t>(std::min<std::uint64_t>(
                      value_.get<std::uint64_t>(), std::numeric_limits<std::int64_t>::max()))
                : value_.get<std::int64_t>();
        if (v < min || v > max) {
            fail("expected an integer from " + std::to_string(min) + " to " + std::to_string(max) +
                 ", got " + std::to_string(v));
        }
        return v;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& element : elements()) out.push_back(element.text());
        return out;
    }
    const json& raw() const { return value_; }

  private:
    const json& value_;
    std::string place_;
    const std::string& source_;
};

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinInt32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxDisplayID = std::numeric_limits<DisplayID>::max();
// A connection that takes longer than this is not one anybody waits for.
constexpr std::int64_t kMaxConnectDelayMs = 60'000;
constexpr std::int64_t kMaxVirtualPixels = std::int64_t{65536} * 65536;
constexpr std::int64_t kMaxTerminateAfterMs = 24 * 3600 * 1000;

template <typename T, typename Read>
void optional(const Node& node, const char* key, T& into, Read read) {
    if (node.has(key)) into = read(node.child(key));
}

ScenarioMode readMode(const Node& node) {
    node.expectObject(
        {"id", "width", "height", "pixelWidth", "pixelHeight", "refresh", "usable", "duplicate"});
    ScenarioMode mode;
    mode.id = static_cast<std::int32_t>(node["id"].integer(kMinInt32, kMaxInt32));
    mode.width = static_cast<int>(node["width"].integer(1, 32768));
    mode.height = static_cast<int>(node["height"].integer(1, 32768));
    mode.pixelWidth = static_cast<int>(node["pixelWidth"].integer(1, 32768));
    mode.pixelHeight = static_cast<int>(node["pixelHeight"].integer(1, 32768));
    mode.refresh = node["refresh"].number();
    if (mode.refresh < 0) node["refresh"].fail("expected a refresh rate of 0 or more");
    optional(node, "usable", mode.usable, [](const Node& n) { return n.boolean(); });
    optional(node, "duplicate", mode.duplicate, [](const Node& n) { return n.boolean(); });
    return mode;
}

Rect readRect(const Node& node) {
    const auto parts = node.elements();
    if (parts.size() != 4) node.fail("expected [x, y, width, height]");
    Rect rect{parts[0].number(), parts[1].number(), parts[2].number(), parts[3].number()};
    if (rect.width <= 0 || rect.height <= 0) node.fail("expected a positive width and height");
    return rect;
}

ScenarioHDR readHDR(const Node& node) {
    node.expectObject({"supported", "enabled", "potentialHeadroom", "headroom"});
    ScenarioHDR hdr;
    optional(node, "supported", hdr.supported, [](const Node& n) { return n.boolean(); });
    optional(node, "enabled", hdr.enabled, [](const Node& n) { return n.boolean(); });
    optional(node, "potentialHeadroom", hdr.potentialHeadroom,
             [](const Node& n) { return n.number(); });
    optional(node, "headroom", hdr.headroom, [](const Node& n) { return n.number(); });
    return hdr;
}

// The mode in use must name one listed mode, so its rate is asked for only
// when its id alone leaves a choice.
void readCurrentMode(const Node& node, ScenarioDisplay& display) {
    const auto current = node["currentMode"];
    display.currentMode = static_cast<std::int32_t>(current.integer(kMinInt32, kMaxInt32));
    const auto rates =
        std::count_if(display.modes.begin(), display.modes.end(),
                      [&](const ScenarioMode& m) { return m.id == display.currentMode; });
    if (rates == 0) current.fail("no mode has this id");
    if (node.has("currentRefresh")) {
        display.currentRefresh = node["currentRefresh"].number();
        if (currentModeOf(display) == nullptr) {
            node["currentRefresh"].fail("the current mode's id is not listed at this refresh rate");
        }
    } else if (rates > 1) {
        current.fail(
            "this id is listed at several refresh rates; \"currentRefresh\" must say which");
    }
}

ScenarioDisplay readDisplay(const Node& node) {
    node.expectObject({"id", "name", "builtIn", "bounds", "active", "mirrorOf", "modes",
                       "currentMode", "currentRefresh", "hdr"});
    ScenarioDisplay display;
    display.id = static_cast<DisplayID>(node["id"].integer(1, kMaxDisplayID));
    display.name = node["name"].text();
    optional(node, "builtIn", display.builtIn, [](const Node& n) { return n.boolean(); });
    display.bounds = readRect(node["bounds"]);
    optional(node, "active", display.active, [](const Node& n) { return n.boolean(); });
    optional(node, "mirrorOf", display.mirrorOf,
             [](const Node& n) { return static_cast<DisplayID>(n.integer(0, kMaxDisplayID)); });
    std::set<std::pair<std::int32_t, double>> modeKeys;
    for (const auto& modeNode : node["modes"].elements()) {
        auto mode = readMode(modeNode);
        if (!modeKeys.emplace(mode.id, mode.refresh).second) {
            modeNode["id"].fail("mode id used twice at one refresh rate");
        }
        display.modes.push_back(mode);
    }
    if (display.modes.empty()) node["modes"].fail("expected at least one mode");
    readCurrentMode(node, display);
    optional(node, "hdr", display.hdr, readHDR);
    return display;
}

ScenarioConfiguration readConfiguration(const Node& node) {
    node.expectObject({"beginError", "completeError"});
    ScenarioConfiguration configuration;
    const auto error = [](const Node& n) {
        return static_cast<std::int32_t>(n.integer(kMinInt32, kMaxInt32));
    };
    optional(node, "beginError", configuration.beginError, error);
    optional(node, "completeError", configuration.completeError, error);
    return configuration;
}

ScenarioFramework readFramework(const Node& node) {
    node.expectObject({"present", "missingSymbols"});
    ScenarioFramework framework;
    optional(node, "present", framework.present, [](const Node& n) { return n.boolean(); });
    optional(node, "missingSymbols", framework.missingSymbols,
             [](const Node& n) { return n.texts(); });
    return framework;
}

ScenarioSkyLight readSkyLight(const Node& node) {
    node.expectObject({"present", "missingSymbols", "tvConnectPolicy", "rejectPolicyChanges"});
    ScenarioSkyLight skyLight;
    optional(node, "present", skyLight.present, [](const Node& n) { return n.boolean(); });
    optional(node, "missingSymbols", skyLight.missingSymbols,
             [](const Node& n) { return n.texts(); });
    optional(node, "tvConnectPolicy", skyLight.tvConnectPolicy, [](const Node& n) {
        return static_cast<std::int32_t>(n.integer(kMinInt32, kMaxInt32));
    });
    optional(node, "rejectPolicyChanges", skyLight.rejectPolicyChanges,
             [](const Node& n) { return n.boolean(); });
    return skyLight;
}

ScenarioSidecar readSidecar(const Node& node) {
    node.expectObject({"present", "missingSymbols", "supported"});
    ScenarioSidecar sidecar;
    optional(node, "present", sidecar.present, [](const Node& n) { return n.boolean(); });
    optional(node, "missingSymbols", sidecar.missingSymbols,
             [](const Node& n) { return n.texts(); });
    optional(node, "supported", sidecar.supported, [](const Node& n) { return n.boolean(); });
    return sidecar;
}

ScenarioSidecarConfig readSidecarConfig(const Node& node) {
    node.expectObject({"width", "height", "scale", "framerate", "hdr"});
    ScenarioSidecarConfig config;
    config.width = node["width"].number();
    config.height = node["height"].number();
    if (config.width <= 0 || config.height <= 0) node.fail("expected a positive width and height");
    optional(node, "scale", config.scale, [](const Node& n) {
        const double scale = n.number();
        if (scale != 1 && scale != 2) n.fail("expected a scale of 1 or 2");
        return scale;
    });
    if (node.has("framerate")) config.framerate = node["framerate"].number();
    if (node.has("hdr")) config.hdr = node["hdr"].boolean();
    return config;
}

ScenarioSidecarError readSidecarError(const Node& node) {
    node.expectObject({"code", "failureReason", "description"});
    ScenarioSidecarError error;
    error.code = node["code"].integer(kMinInt32, kMaxInt32);
    if (error.code == 0) node["code"].fail("expected a non-zero error code");
    if (node.has("failureReason")) error.failureReason = node["failureReason"].text();
    optional(node, "description", error.description, [](const Node& n) { return n.text(); });
    return error;
}

ScenarioSidecarConnect readSidecarConnect(const Node& node) {
    node.expectObject({"delayMs", "busyTimes", "error"});
    ScenarioSidecarConnect connect;
    optional(node, "delayMs", connect.delayMs,
             [](const Node& n) { return static_cast<int>(n.integer(0, kMaxConnectDelayMs)); });
    optional(node, "busyTimes", connect.busyTimes,
             [](const Node& n) { return static_cast<int>(n.integer(0, 100)); });
    if (node.has("error")) connect.error = readSidecarError(node["error"]);
    return connect;
}

ScenarioSidecarDevice readSidecarDevice(const Node& node) {
    node.expectObject({"name", "model", "identifier", "offersDisplay", "config", "connect"});
    ScenarioSidecarDevice device;
    device.name = node["name"].text();
    optional(node, "model", device.model, [](const Node& n) { return n.text(); });
    device.identifier = node["identifier"].text();
    optional(node, "offersDisplay", device.offersDisplay,
             [](const Node& n) { return n.boolean(); });
    if (node.has("config") && !node["config"].raw().is_null()) {
        device.config = readSidecarConfig(node["config"]);
    }
    optional(node, "connect", device.connect, readSidecarConnect);
    return device;
}

ScenarioNetwork readNetwork(const Node& node) {
    const auto name = node.text();
    if (name == "simulated") return ScenarioNetwork::simulated;
    if (name == "dns-sd") return ScenarioNetwork::dnsSd;
    node.fail("expected \"simulated\" or \"dns-sd\"");
}

std::optional<int> integerOrNull(const Node& node, std::int64_t min, std::int64_t max) {
    if (node.raw().is_null()) return std::nullopt;
    return static_cast<int>(node.integer(min, max));
}

ScenarioAdminPrompt readAdminPrompt(const Node& node) {
    const auto answer = node.text();
    if (answer == "allow") return ScenarioAdminPrompt::allow;
    if (answer == "cancel") return ScenarioAdminPrompt::cancel;
    if (answer == "fail") return ScenarioAdminPrompt::fail;
    node.fail("expected \"allow\", \"cancel\" or \"fail\"");
}

ScenarioPower readPower(const Node& node) {
    node.expectObject({"batteryTemperature", "cpuSpeedLimit", "adminPrompt"});
    ScenarioPower power;
    optional(node, "batteryTemperature", power.batteryTemperature,
             [](const Node& n) { return integerOrNull(n, 0, 10'000); });
    optional(node, "cpuSpeedLimit", power.cpuSpeedLimit,
             [](const Node& n) { return integerOrNull(n, 0, 100); });
    optional(node, "adminPrompt", power.adminPrompt, readAdminPrompt);
    return power;
}

ScenarioVirtualDisplays readVirtualDisplays(const Node& node) {
    node.expectObject({"refuse", "rejectModes", "largestPixels", "terminateAfterMs"});
    ScenarioVirtualDisplays virtualDisplays;
    optional(node, "refuse", virtualDisplays.refuse, [](const Node& n) { return n.boolean(); });
    optional(node, "rejectModes", virtualDisplays.rejectModes,
             [](const Node& n) { return n.boolean(); });
    if (node.has("largestPixels")) {
        virtualDisplays.largestPixels = node["largestPixels"].integer(1, kMaxVirtualPixels);
    }
    if (node.has("terminateAfterMs")) {
        virtualDisplays.terminateAfterMs =
            static_cast<int>(node["terminateAfterMs"].integer(0, kMaxTerminateAfterMs));
    }
    return virtualDisplays;
}

// Every character but letters, digits and '-' becomes '-', as a Mac names
// itself on the local network.
std::string localHostName(const std::string& name) {
    std::string host;
    for (const char c : name) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        host += plain ? c : '-';
    }
    return host + ".local";
}

ScenarioAirPlayReceiver readReceiver(const Node& node) {
    node.expectObject({"name", "deviceID", "model", "features", "port", "pi", "psi", "host",
                       "resolves", "connectDelayMs", "mirrorsInsteadOfExtending"});
    ScenarioAirPlayReceiver receiver;
    receiver.name = node["name"].text();
    receiver.deviceID = node["deviceID"].text();
    optional(node, "model", receiver.model, [](const Node& n) { return n.text(); });
    optional(node, "features", receiver.features, [](const Node& n) { return n.text(); });
    optional(node, "port", receiver.port,
             [](const Node& n) { return static_cast<int>(n.integer(1, 65535)); });
    optional(node, "pi", receiver.pi, [](const Node& n) { return n.text(); });
    optional(node, "psi", receiver.psi, [](const Node& n) { return n.text(); });
    optional(node, "host", receiver.host, [](const Node& n) { return n.text(); });
    if (receiver.host.empty()) receiver.host = localHostName(receiver.name);
    optional(node, "resolves", receiver.resolves, [](const Node& n) { return n.boolean(); });
    optional(node, "connectDelayMs", receiver.connectDelayMs,
             [](const Node& n) { return static_cast<int>(n.integer(0, kMaxConnectDelayMs)); });
    optional(node, "mirrorsInsteadOfExtending", receiver.mirrorsInsteadOfExtending,
             [](const Node& n) { return n.boolean(); });
    return receiver;
}

void checkTopology(const Node& displaysNode, const std::vector<ScenarioDisplay>& displays) {
    std::set<DisplayID> ids;
    const auto nodes = displaysNode.elements();
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (!ids.insert(displays[i].id).second) nodes[i]["id"].fail("display id used twice");
    }
    if (ids.size() > 16) displaysNode.fail("at most 16 displays can be online");
    for (std::size_t i = 0; i < displays.size(); ++i) {
        const auto master = displays[i].mirrorOf;
        if (master == 0) continue;
        if (master == displays[i].id) nodes[i]["mirrorOf"].fail("a display cannot mirror itself");
        if (!ids.contains(master)) nodes[i]["mirrorOf"].fail("no display has this id");
    }
}

std::string lineAndColumn(const std::string& text, std::size_t byte) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

const ScenarioMode* currentModeOf(const ScenarioDisplay& display) {
    const auto found =
        std::find_if(display.modes.begin(), display.modes.end(), [&](const ScenarioMode& mode) {
            return mode.id == display.currentMode &&
                   (!display.currentRefresh || mode.refresh == *display.currentRefresh);
        });
    return found == display.modes.end() ? nullptr : &*found;
}

Scenario parseScenario(const std::string& text, const std::string& source) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        const auto byte = error.byte == 0 ? 0 : error.byte - 1;
        std::string what = error.what();
        // nlohmann prefixes its own code and position; keep only its explanation.
        const auto colon =
            what.find(": ", what.find("at line") == std::string::npos ? 0 : what.find("at line"));
        if (colon != std::string::npos) what = what.substr(colon + 2);
        throw ScenarioError("scenario " + source + ": at " + lineAndColumn(text, byte) +
                            ": not JSON (" + what + ")");
    }

    const Node root(document, "top level", source);
    root.expectObject({"mac", "displays", "configuration", "skyLight", "sidecarCore", "coreDisplay",
                       "accessibilityTrusted", "screenRecordingAllowed", "sidecarDevices",
                       "airPlayReceivers", "network", "sidecarSettings", "power",
                       "virtualDisplays"});
    Scenario scenario;
    const auto mac = root["mac"];
    mac.expectObject({"model", "name", "productName", "cpuBrand", "osVersion", "hostName",
                      "vpnConnected", "internetSharing"});
    scenario.mac.model = mac["model"].text();
    scenario.mac.name = mac["name"].text();
    const auto readText = [](const Node& n) { return n.text(); };
    const auto readBool = [](const Node& n) { return n.boolean(); };
    optional(mac, "productName", scenario.mac.productName, readText);
    optional(mac, "cpuBrand", scenario.mac.cpuBrand, readText);
    optional(mac, "osVersion", scenario.mac.osVersion, readText);
    optional(mac, "hostName", scenario.mac.hostName, readText);
    optional(mac, "vpnConnected", scenario.mac.vpnConnected, readBool);
    optional(mac, "internetSharing", scenario.mac.internetSharing, readBool);

    const auto displays = root["displays"];
    for (const auto& node : displays.elements()) scenario.displays.push_back(readDisplay(node));
    checkTopology(displays, scenario.displays);
    optional(root, "configuration", scenario.configuration, readConfiguration);

    optional(root, "skyLight", scenario.skyLight, readSkyLight);
    optional(root, "sidecarCore", scenario.sidecarCore, readSidecar);
    optional(root, "coreDisplay", scenario.coreDisplay, readFramework);
    optional(root, "accessibilityTrusted", scenario.accessibilityTrusted, readBool);
    optional(root, "screenRecordingAllowed", scenario.screenRecordingAllowed, readBool);
    if (root.has("sidecarDevices")) {
        for (const auto& node : root["sidecarDevices"].elements()) {
            scenario.sidecarDevices.push_back(readSidecarDevice(node));
        }
    }
    if (root.has("airPlayReceivers")) {
        for (const auto& node : root["airPlayReceivers"].elements()) {
            scenario.airPlayReceivers.push_back(readReceiver(node));
        }
    }
    optional(root, "network", scenario.network, readNetwork);
    if (root.has("sidecarSettings")) {
        const auto settings = root["sidecarSettings"];
        if (!settings.raw().is_object()) settings.fail("expected an object");
        scenario.sidecarSettings = settings.raw();
    }
    optional(root, "power", scenario.power, readPower);
    optional(root, "virtualDisplays", scenario.virtualDisplays, readVirtualDisplays);
    return scenario;
}

Scenario loadScenarioFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ScenarioError("scenario " + path + ": cannot be read: " + std::strerror(errno));
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw ScenarioError("scenario " + path + ": cannot be read");
    return parseScenario(text.str(), path);
}

Scenario defaultScenario() {
    return parseScenario(defaultScenarioJson(), "(built in)");
}

}  // namespace kd
