#include "platform/sim/scripting/control_centre_wire.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(ControlCentreWireTest, MessagesAreOneLineAndComeBackWhole) {
    const std::string script = "tell application \"System Events\"\n\t\"\\\" -- «Гостиная»\r\n";
    const auto request = encodeScriptRequest(script);
    EXPECT_EQ(request.find('\n'), request.size() - 1);
    EXPECT_EQ(decodeScriptRequest(request.substr(0, request.size() - 1)), script);

    const ScriptAnswer answer{1, "two\nlines\n", "0:3: execution error: x (-2700)\n"};
    const auto reply = encodeScriptAnswer(answer);
    EXPECT_EQ(reply.find('\n'), reply.size() - 1);
    EXPECT_EQ(decodeScriptAnswer(reply.substr(0, reply.size() - 1)), answer);

    EXPECT_EQ(decodeScriptRequest(encodeScriptRequest("caf\xe9")), "caf\xef\xbf\xbd")
        << "bytes that are not UTF-8 travel as U+FFFD";
}

TEST(ControlCentreWireTest, AnythingElseIsRefused) {
    for (const auto* line :
         {"", "not json", "[]", "{}", R"({"script": 3})", R"({"script": "x", "more": 1})"}) {
        EXPECT_FALSE(decodeScriptRequest(line)) << line;
    }
    for (const auto* line :
         {"{}", R"({"status": 0, "stdout": "", "stderr": 1})",
          R"({"status": -1, "stdout": "", "stderr": ""})",
          R"({"status": 1.5, "stdout": "", "stderr": ""})", R"({"status": 0, "stdout": ""})"}) {
        EXPECT_FALSE(decodeScriptAnswer(line)) << line;
    }
}

}  // namespace
}  // namespace kd
