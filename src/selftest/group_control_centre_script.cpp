#include <sstream>

#include "selftest/fixtures.h"
#include "selftest/groups.h"
#include "selftest/script_comments.h"
#include "transport/mirror_script.h"
#include "transport/sidecar_error_text.h"

namespace kd::groups {
namespace {

bool holds(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The first line that starts a loop other than a counted or a walking one.
std::string uncountedRepeat(const std::string& script) {
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        const std::string_view statement = std::string_view(line).substr(start);
        if (!statement.starts_with("repeat")) continue;
        if (statement.starts_with("repeat with ")) continue;
        auto rest = statement.substr(std::string_view("repeat").size());
        const auto digits = rest.find_first_not_of(' ');
        const auto afterDigits = rest.find_first_not_of("0123456789", digits);
        const bool counted = digits != std::string_view::npos && afterDigits != digits &&
                             afterDigits != std::string_view::npos &&
                             rest.substr(afterDigits) == " times";
        if (!counted) return std::string(statement);
    }
    return {};
}

// `first` occurs, and `second` somewhere after it.
bool inOrder(std::string_view text, std::string_view first, std::string_view second) {
    const auto at = text.find(first);
    return at != std::string_view::npos && text.find(second, at + first.size()) != text.npos;
}

}  // namespace

void testControlCentreScript(SelfTest& t, SelfTestContext& /*context*/) {
    const auto atv = fixtures::atv();
    const auto connect =
        withoutScriptComments(toggleDeviceScript(atv.matchKeys, {}, MirrorIntent::connect));
    const auto disconnect =
        withoutScriptComments(toggleDeviceScript(atv.matchKeys, {}, MirrorIntent::disconnect));

    t.check("the script has no unbounded wait loop",
            !holds(connect, "repeat while") && !holds(disconnect, "repeat while"),
            [] { return "found a `repeat while` \u2014 every loop here must have a fixed bound"; });
    const auto loose = uncountedRepeat(connect + "\n" + disconnect);
    t.check("every repeat is counted", loose.empty(), [&] { return "found `" + loose + "`"; });
    t.check("the script gives System Events a deadline",
            connect.starts_with("with timeout of") &&
                holds(connect, "tell application \"System Events\""));
    t.check("the deadline is closed",
            holds(connect, "end timeout") && holds(disconnect, "end timeout"));
    t.check("it still clicks a device row",
            holds(connect, "idf starts with \"screen-mirroring-device-\"") &&
                holds(connect, "click e\n"));
    t.check("the device filter is in there", holds(connect, "idf contains \"ATV\""));

    t.check("an already-connected row is recognised",
            holds(connect, "if role of e is \"AXDisclosureTriangle\" then set already to true") &&
                holds(connect,
                      "if role of e is \"AXCheckBox\" and (value of e) is 1 then set "
                      "already to true"));
    const std::string_view alreadyConnected =
        "        if already then\n"
        "            set clicked to true\n"
        "        else\n";
    t.check("and is not clicked again", holds(connect, alreadyConnected));
    t.check("only an unconnected checkbox is clicked",
            holds(connect,
                  "                        if role of e is \"AXCheckBox\" then\n"
                  "                            click e\n") &&
                connect.find("click e\n") == connect.rfind("click e\n"));

    t.check("disconnect acts only on a connected row", holds(disconnect,
                                                             "        if not already then\n"
                                                             "            set clicked to true\n"
                                                             "        else\n"));
    const std::string_view lastButton = "click item (count devBtns) of devBtns";
    t.check("it reaches the row's own Disconnect button", holds(disconnect, lastButton));
    t.check("expanding first, or those buttons do not exist",
            inOrder(disconnect, "if role of e is \"AXDisclosureTriangle\" and (value of e) is 0",
                    "delay 0.") &&
                inOrder(disconnect, "delay 0.", lastButton));
    t.check("with the old checkbox toggle as the fallback",
            inOrder(disconnect, lastButton, "if role of e is \"AXCheckBox\" then\n"));
    t.check("connect and disconnect are not the same script", connect != disconnect);

    std::vector<std::string> sent;
    const AppleScriptRun recording = [&](const std::string& script) {
        sent.push_back(script);
        return ScriptResult{true, ""};
    };
    toggleDevice(atv.matchKeys, {}, MirrorIntent::disconnect, recording);
    toggleDevice(atv.matchKeys, {}, MirrorIntent::connect, recording);
    t.check("asking to disconnect actually sends the disconnect script",
            sent.size() == 2 && withoutScriptComments(sent[0]) == disconnect);
    t.check("and asking to connect sends the connect one",
            sent.size() == 2 && withoutScriptComments(sent[1]) == connect);

    const auto airPlayBusy = sidecarErrorText(-453, std::nullopt, "");
    t.check("-453 is explained, not printed",
            holds(airPlayBusy, "AirPlay") && !holds(airPlayBusy, "-453"),
            [&] { return "got " + airPlayBusy; });
    t.check("and it says which order works",
            inOrder(airPlayBusy, "disconnect it", "connect the iPad, then bring it back"),
            [&] { return "got " + airPlayBusy; });

    t.check("disconnect never clicks a plain unconnected row",
            !holds(disconnect, alreadyConnected));
}

}  // namespace kd::groups
