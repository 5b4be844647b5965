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
        // Advertised by the network, so they must stay inside their literals.
        {"a key of quotes and backslashes",
         {R"(AB\" & (do shell script "id") & "\)"},
         {},
         R"(idf contains "AB\\\" & (do shell script \"id\") & \"\\")"},
        {"an excluded key of quotes",
         {},
         {R"(" & (do shell script "touch /tmp/owned") & ")"},
         R"(idf does not contain "Sidecar:" and idf does not contain )"
         R"("\" & (do shell script \"touch /tmp/owned\") & \"")"},
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
