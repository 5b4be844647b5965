#include "transport/mirror_script.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/golden.h"

namespace kd {
namespace {

// The scripts as they must reach System Events are golden files, written
// out rather than taken from the generator, with "@FILTER@" where the row
// filter goes. Comment lines are not part of what must match.

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
    return testing::filled(testing::golden("transport/golden/mirror_connect.applescript"),
                           {{"@FILTER@", filter}});
}

std::string disconnectScript(const std::string& filter) {
    return testing::filled(testing::golden("transport/golden/mirror_disconnect.applescript"),
                           {{"@FILTER@", filter}});
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
