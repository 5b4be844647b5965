#include "transport/mirror_script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kd {
namespace {

// The script as it must reach System Events, in the pieces it is made of,
// written out here rather than taken from the generator. Comment lines are
// not part of what must match.

const std::string kOpen =
    R"as(with timeout of 20 seconds
tell application "System Events"
    tell process "ControlCenter"
        repeat 4 times
            if (count windows) is 0 then exit repeat
            key code 53
            delay 0.4
        end repeat
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
        set els to {}
        repeat with i from 1 to 14
            delay 0.5
            try
                set els to entire contents of window 1
                if (count els) > 3 then exit repeat
            end try
        end repeat
        set already to false
        repeat with e in els
            try
                set idf to value of attribute "AXIdentifier" of e
                if idf starts with "screen-mirroring-device-" and ()as";

const std::string kAlready =
    R"as() then
                    if role of e is "AXDisclosureTriangle" then set already to true
                    if role of e is "AXCheckBox" and (value of e) is 1 then set already to true
                end if
            end try
        end repeat
        set clicked to false
)as"
    "        ";

const std::string kConnectHead =
    R"as(if already then
            set clicked to true
        else
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and ()as";

const std::string kConnectTail =
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

const std::string kDisconnectHead =
    R"as(if not already then
            set clicked to true
        else
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and ()as";

const std::string kDisconnectExpand =
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

const std::string kDisconnectButtons =
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

const std::string kDisconnectTail =
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

const std::string kClose =
    R"as(
        delay 0.3
        if (count windows) > 0 then key code 53
        if not clicked then error "Device not found in Screen Mirroring menu"
    end tell
end tell
end timeout
)as";

std::string withoutCommentLines(const std::string& script) {
    std::istringstream lines(script);
    std::string line;
    std::string out;
    bool first = true;
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, 2, "--") == 0) continue;
        if (!first) out += '\n';
        out += line;
        first = false;
    }
    if (script.ends_with('\n')) out += '\n';
    return out;
}

std::string connectScript(const std::string& filter) {
    return kOpen + filter + kAlready + kConnectHead + filter + kConnectTail + kClose;
}

std::string disconnectScript(const std::string& filter) {
    return kOpen + filter + kAlready + kDisconnectHead + filter + kDisconnectExpand + filter +
           kDisconnectButtons + filter + kDisconnectTail + kClose;
}

struct FilterCase {
    const char* what;
    std::vector<std::string> matchKeys;
    std::vector<std::string> excludeKeys;
    std::string filter;
};

TEST(MirrorScriptTest, EachScriptIsTheKnownTextAroundItsRowFilter) {
    const std::vector<FilterCase> cases = {
        {"one key", {"ABCD"}, {"ignored"}, R"(idf contains "ABCD")"},
        {"two keys, first first",
         {"4E:2A:91:0C:77:10", "Sidecar-AB12"},
         {},
         R"(idf contains "4E:2A:91:0C:77:10" or idf contains "Sidecar-AB12")"},
        {"no keys: every row but Sidecar's and the excluded",
         {},
         {"0123456789AB"},
         R"(idf does not contain "Sidecar:" and idf does not contain "0123456789AB")"},
        {"no keys, nothing excluded", {}, {}, R"(idf does not contain "Sidecar:")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(withoutCommentLines(
                      toggleDeviceScript(c.matchKeys, c.excludeKeys, MirrorIntent::connect)),
                  connectScript(c.filter));
        EXPECT_EQ(withoutCommentLines(
                      toggleDeviceScript(c.matchKeys, c.excludeKeys, MirrorIntent::disconnect)),
                  disconnectScript(c.filter));
    }
}

// Reads the string literal that opens at `text[open]`, as AppleScript would:
// a backslash takes the next character as it is.
struct Literal {
    std::string value;
    std::size_t end = std::string::npos;  // just past the closing quote
};

Literal readLiteral(const std::string& text, std::size_t open) {
    Literal literal;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            literal.value += text[++i];
        } else if (text[i] == '"') {
            literal.end = i + 1;
            return literal;
        } else {
            literal.value += text[i];
        }
    }
    return literal;
}

TEST(MirrorScriptTest, AnAdvertisedKeyCannotBreakOutOfItsLiteral) {
    const std::string hostile = R"(" & (do shell script "touch /tmp/owned") & ")";
    const std::string slashed = R"(AB\" & (do shell script "id") & "\)";
    struct Case {
        const char* what;
        std::vector<std::string> matchKeys;
        std::vector<std::string> excludeKeys;
        std::string test;
        std::string key;
        std::string follows;
    };
    const std::vector<Case> cases = {
        {"a matched key", {hostile}, {}, "idf contains ", hostile, ") then"},
        {"a key with backslashes", {slashed}, {}, "idf contains ", slashed, ") then"},
        {"an excluded key", {}, {hostile}, "and idf does not contain ", hostile, ") then"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto intent : {MirrorIntent::connect, MirrorIntent::disconnect}) {
            const auto script = toggleDeviceScript(c.matchKeys, c.excludeKeys, intent);
            EXPECT_EQ(script.find(c.key), std::string::npos) << "the key went in unescaped";
            int filters = 0;
            for (auto at = script.find(c.test); at != std::string::npos;
                 at = script.find(c.test, at + 1)) {
                const auto literal = readLiteral(script, at + c.test.size());
                EXPECT_EQ(literal.value, c.key);
                ASSERT_NE(literal.end, std::string::npos);
                EXPECT_EQ(script.compare(literal.end, c.follows.size(), c.follows), 0)
                    << "the literal ends early: " << script.substr(literal.end, 40);
                ++filters;
            }
            EXPECT_EQ(filters, intent == MirrorIntent::connect ? 2 : 4);
        }
    }
}

TEST(MirrorScriptTest, ToggleDeviceSendsTheScriptForItsIntentAndAnswersWhatTheRunnerAnswers) {
    const std::vector<std::string> keys = {"4E:2A:91:0C:77:10"};
    std::vector<std::string> sent;
    const AppleScriptRun recording = [&](const std::string& script) {
        sent.push_back(script);
        return ScriptResult{false, "Device not found in Screen Mirroring menu"};
    };
    EXPECT_EQ(toggleDevice(keys, {}, MirrorIntent::disconnect, recording),
              (ScriptResult{false, "Device not found in Screen Mirroring menu"}));
    toggleDevice(keys, {}, MirrorIntent::connect, recording);
    const std::string filter = R"(idf contains "4E:2A:91:0C:77:10")";
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(withoutCommentLines(sent[0]), disconnectScript(filter));
    EXPECT_EQ(withoutCommentLines(sent[1]), connectScript(filter));
}

}  // namespace
}  // namespace kd
