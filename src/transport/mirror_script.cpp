#include "transport/mirror_script.h"

#include <string_view>

#include "transport/applescript_text.h"

namespace kd {
namespace {

// The script is these pieces in order, the row filter spliced in after each
// one that ends with "and (". Indentation is four spaces per level; pieces
// that follow a filter start at the filter's closing parenthesis.

constexpr std::string_view kOpenMenuThenRowTest =
    R"as(with timeout of 20 seconds
tell application "System Events"
    tell process "ControlCenter"
        -- A menu left open by an earlier run would take the click. Escape closes
        -- it; the loop stops as soon as no window is open.
        repeat 4 times
            if (count windows) is 0 then exit repeat
            key code 53
            delay 0.4
        end repeat
        -- The identifier reads the same in every system language. Reading an
        -- item that has none raises an error, hence the try; the description is
        -- the fallback for systems whose item carries no identifier.
        set mirrorItem to missing value
        repeat with m in menu bar items of menu bar 1
            try
                if (value of attribute "AXIdentifier" of m) is "com.apple.menuextra.screen-mirroring" then
                    set mirrorItem to m
                    exit repeat
                end if
            end try
        end repeat
        if mirrorItem is missing value then set mirrorItem to (first menu bar item of menu bar 1 whose description contains "Повтор" or description contains "Screen Mirroring")
        click mirrorItem
        -- The menu fills in after it opens: more than three elements means the
        -- device rows have arrived.
        set els to {}
        repeat with i from 1 to 14
            delay 0.5
            try
                set els to entire contents of window 1
                if (count els) > 3 then exit repeat
            end try
        end repeat
        -- A connected row is a disclosure triangle or a ticked checkbox. Knowing
        -- that first is what keeps a connect from turning into a disconnect.
        set already to false
        repeat with e in els
            try
                set idf to value of attribute "AXIdentifier" of e
                if idf starts with "screen-mirroring-device-" and ()as";

constexpr std::string_view kMarkAlreadyConnected =
    R"as() then
                    if role of e is "AXDisclosureTriangle" then set already to true
                    if role of e is "AXCheckBox" and (value of e) is 1 then set already to true
                end if
            end try
        end repeat
        set clicked to false
)as"
    "        ";

constexpr std::string_view kConnectRowTest =
    R"as(if already then
            set clicked to true
        else
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and ()as";

constexpr std::string_view kClickUnconnectedCheckbox =
    R"as() then
                        if role of e is "AXCheckBox" then
                            click e
                            set clicked to true
                            exit repeat
                        end if
                    end if
                end try
            end repeat
        end if)as";

constexpr std::string_view kDisconnectRowTest =
    R"as(if not already then
            set clicked to true
        else
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and ()as";

constexpr std::string_view kExpandConnectedRow =
    R"as() then
                        if role of e is "AXDisclosureTriangle" and (value of e) is 0 then
                            click e
                            delay 0.7
                            set els to entire contents of window 1
                            exit repeat
                        end if
                    end if
                end try
            end repeat
            set devBtns to {}
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and ()as";

constexpr std::string_view kCollectRowButtons =
    R"as() then
                        if role of e is "AXButton" then set end of devBtns to e
                    end if
                end try
            end repeat
            if (count devBtns) > 0 then
                click item (count devBtns) of devBtns
                set clicked to true
            else
                repeat with e in els
                    try
                        set idf to value of attribute "AXIdentifier" of e
                        if idf starts with "screen-mirroring-device-" and ()as";

constexpr std::string_view kCheckboxFallback =
    R"as() then
                            if role of e is "AXCheckBox" then
                                click e
                                set clicked to true
                                exit repeat
                            end if
                        end if
                    end try
                end repeat
            end if
        end if)as";

constexpr std::string_view kCloseMenuAndReport =
    R"as(
        -- Escape only while the menu is still open: with nothing open it would
        -- go to whichever window has the focus.
        delay 0.3
        if (count windows) > 0 then key code 53
        -- Nothing clicked and nothing already as asked: the device has no row.
        if not clicked then error "Device not found in Screen Mirroring menu"
    end tell
end tell
end timeout
)as";

std::string joinedConditions(const std::vector<std::string>& keys, std::string_view test,
                             std::string_view joiner) {
    std::string out;
    for (const auto& key : keys) {
        if (!out.empty()) out += joiner;
        out += "idf ";
        out += test;
        out += " \"";
        out += appleScriptEscaped(key);
        out += '"';
    }
    return out;
}

// A Boolean expression over `idf`, the identifier of one menu element.
std::string rowFilter(const std::vector<std::string>& matchKeys,
                      const std::vector<std::string>& excludeKeys) {
    if (!matchKeys.empty()) return joinedConditions(matchKeys, "contains", " or ");
    std::vector<std::string> excluded{"Sidecar:"};
    excluded.insert(excluded.end(), excludeKeys.begin(), excludeKeys.end());
    return joinedConditions(excluded, "does not contain", " and ");
}

}  // namespace

std::string toggleDeviceScript(const std::vector<std::string>& matchKeys,
                               const std::vector<std::string>& excludeKeys, MirrorIntent intent) {
    const std::string filter = rowFilter(matchKeys, excludeKeys);
    std::string script;
    const auto filtered = [&](std::string_view piece) {
        script += piece;
        script += filter;
    };
    filtered(kOpenMenuThenRowTest);
    script += kMarkAlreadyConnected;
    if (intent == MirrorIntent::connect) {
        filtered(kConnectRowTest);
        script += kClickUnconnectedCheckbox;
    } else {
        filtered(kDisconnectRowTest);
        filtered(kExpandConnectedRow);
        filtered(kCollectRowButtons);
        script += kCheckboxFallback;
    }
    script += kCloseMenuAndReport;
    return script;
}

ScriptResult toggleDevice(const std::vector<std::string>& matchKeys,
                          const std::vector<std::string>& excludeKeys, MirrorIntent intent,
                          const AppleScriptRun& run) {
    return run(toggleDeviceScript(matchKeys, excludeKeys, intent));
}

}  // namespace kd
