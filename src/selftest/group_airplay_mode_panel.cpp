#include "selftest/fixtures.h"
#include "selftest/groups.h"
#include "selftest/script_comments.h"
#include "transport/airplay_mode_script.h"

namespace kd::groups {
namespace {

bool holds(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

void testAirPlayModePanel(SelfTest& t, SelfTestContext& /*context*/) {
    const auto atv = fixtures::atv();
    const auto tv = fixtures::tv();
    const auto script = [](AirPlayMode mode, std::string_view name, int waitTicks) {
        return withoutScriptComments(airPlayModeScript(mode, name, waitTicks));
    };

    const auto extend = script(AirPlayMode::extend, atv.name, 60);
    const auto duplicate = script(AirPlayMode::duplicate, atv.name, 60);
    t.check("extend reaches for the rightmost card", wantsRightmostCard(AirPlayMode::extend) &&
                                                         holds(extend, "x > bestX") &&
                                                         !holds(extend, "x < bestX"));
    t.check("duplicate reaches for the leftmost card",
            !wantsRightmostCard(AirPlayMode::duplicate) && holds(duplicate, "x < bestX") &&
                !holds(duplicate, "x > bestX"));

    t.check("it talks to the process that owns the panel",
            holds(extend, "tell process \"ControlCenterHelper\""));
    t.check("it carries a deadline", extend.starts_with("with timeout of"));
    t.check("the deadline is closed", extend.ends_with("end timeout"));
    t.check("nothing here waits without a bound",
            !holds(extend, "repeat while") && !holds(duplicate, "repeat while"));
    t.check("and nothing waits until something",
            !holds(extend, "repeat until") && !holds(duplicate, "repeat until"));
    t.check("the device name is carried into the check",
            holds(extend, "titled does not contain \"" + atv.name + "\""));

    // What the connect flows send: the default watch, handed to the runner.
    std::string sent;
    chooseAirPlayMode(AirPlayMode::extend, atv.name, [&](const std::string& text) {
        sent = text;
        return ScriptResult{true, "none"};
    });
    t.check("the panel is watched for across the whole connection",
            holds(withoutScriptComments(sent), "repeat 60 times"));
    t.check("the watch is bounded and adjustable",
            holds(script(AirPlayMode::extend, atv.name, 5), "repeat 5 times"));
    t.check("an unrecognised layout is still confirmed",
            holds(extend,
                  "    if (count bigI) < 3 then\n"
                  "      set m to count (every button of g)\n"
                  "      if m < 2 then return \"shape:\" & (count bigI) & \"/\" & n\n"
                  "      click button m of g\n"
                  "      return \"confirmed\"\n"));
    t.check("a zero wait still bounds itself",
            holds(script(AirPlayMode::extend, atv.name, 0), "repeat 1 times"));

    const auto quoted = script(AirPlayMode::extend, tv.name, 60);
    t.check("a quoted name is escaped",
            holds(quoted, "and \"85\\\" Crystal UHD\" is not \"\"") &&
                holds(quoted, "titled does not contain \"85\\\" Crystal UHD\""));
}

}  // namespace kd::groups
