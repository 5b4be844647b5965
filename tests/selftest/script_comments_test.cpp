#include "selftest/script_comments.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(ScriptCommentsTest, EveryLineIsCutAtItsFirstDoubleDash) {
    const std::pair<const char*, const char*> table[] = {
        {"", ""},
        {"delay 0.4", "delay 0.4"},
        {"    -- why\n    delay 0.4\n", "    \n    delay 0.4\n"},
        {"key code 53 -- Escape -- twice\nend", "key code 53 \nend"},
        {"a\n\n--\nb--", "a\n\n\nb"},
        {"set x to \"a--b\"", "set x to \"a"},
    };
    for (const auto& [script, want] : table)
        EXPECT_EQ(withoutScriptComments(script), want) << script;
}

}  // namespace
}  // namespace kd
