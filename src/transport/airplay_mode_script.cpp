#include "transport/airplay_mode_script.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "transport/applescript_text.h"

namespace kd {
namespace {

// The script is these pieces in order, with the wait count after the first,
// the device name after the second and the third, and the card comparison
// after the fourth. Indentation is two spaces per level.

constexpr std::string_view kWaitForPanel =
    R"as(with timeout of 25 seconds
tell application "System Events"
  tell process "ControlCenterHelper"
    -- The panel takes a moment to appear, and on macOS versions that do not
    -- ask at all it never will. Waiting a bounded number of times and then
    -- reporting "none" is not a failure — it is the older behaviour.
    set seen to false
    repeat )as";

constexpr std::string_view kCheckPanelTitle =
    R"as( times
      if (count windows) > 0 then
        set seen to true
        exit repeat
      end if
      delay 0.4
    end repeat
    if not seen then return "none"
    set g to group 1 of window 1
    -- Only answer for the display we just connected. If the panel is about
    -- something else, leave it alone rather than guessing on the user's
    -- behalf.
    set titled to ""
    try
      set titled to (value of static text 1 of g) as text
    end try
    if titled is not "" and ")as";

constexpr std::string_view kTitleNamesDevice =
    R"as(" is not "" then
      if titled does not contain ")as";

constexpr std::string_view kFindLargeCards =
    R"as(" then return "other:" & titled
    end if
    set bigX to {}
    set bigI to {}
    set n to count (every button of g)
    repeat with i from 1 to n
      try
        set sz to size of button i of g
        if (item 1 of sz) > 100 and (item 2 of sz) > 100 then
          set end of bigX to (item 1 of (position of button i of g))
          set end of bigI to i
        end if
      end try
    end repeat
    -- The policy set before the menu was opened already preselects the right
    -- card, so confirming alone is the whole job. Picking the card is belt
    -- and braces for a macOS where the policy call is refused — and if the
    -- layout is not one we recognise, confirm anyway rather than walking
    -- away and leaving the television asking.
    if (count bigI) < 3 then
      set m to count (every button of g)
      if m < 2 then return "shape:" & (count bigI) & "/" & n
      click button m of g
      return "confirmed"
    end if
    set pickAt to 1
    set bestX to item 1 of bigX
    repeat with k from 2 to (count bigI)
      set x to item k of bigX
      if )as";

constexpr std::string_view kPickCardAndConfirm =
    R"as( then
        set bestX to x
        set pickAt to k
      end if
    end repeat
    click button (item pickAt of bigI) of g
    delay 1.2
    -- Confirm. Its title follows the selection, so it is taken as the last
    -- button in the group rather than by name.
    set m to count (every button of group 1 of window 1)
    if m < 4 then return "noconfirm:" & m
    click button m of group 1 of window 1
    return "chose"
  end tell
end tell
end timeout)as";

bool isTrimmed(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isTrimmed);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isTrimmed).base();
    return first < last ? std::string(first, last) : std::string();
}

}  // namespace

std::string airPlayModeScript(AirPlayMode mode, std::string_view deviceName, int waitTicks) {
    const std::string name = appleScriptEscaped(deviceName);
    std::string script(kWaitForPanel);
    script += std::to_string(std::max(waitTicks, 1));
    script += kCheckPanelTitle;
    script += name;
    script += kTitleNamesDevice;
    script += name;
    script += kFindLargeCards;
    script += wantsRightmostCard(mode) ? "x > bestX" : "x < bestX";
    script += kPickCardAndConfirm;
    return script;
}

std::string chooseAirPlayMode(AirPlayMode mode, std::string_view deviceName,
                              const AppleScriptRun& run, int waitTicks) {
    return trimmed(run(airPlayModeScript(mode, deviceName, waitTicks)).out);
}

}  // namespace kd
