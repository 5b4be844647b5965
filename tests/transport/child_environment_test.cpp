#include <gtest/gtest.h>

#include <cstdlib>

#include "transport/child_process.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(ChildEnvironmentTest, ExtraEntriesJoinTheInheritedOnesAndReplaceTheirNamesakes) {
    ::setenv("KD_CHILD_INHERITED", "kept", 1);
    ::setenv("KD_CHILD_REPLACED", "old", 1);
    const auto run = runChild("/usr/bin/env", {}, 20s, ErrorStream::capture,
                              {{"KD_CHILD_REPLACED", "new"}, {"KD_CHILD_ADDED", "a = b"}});
    ::unsetenv("KD_CHILD_INHERITED");
    ::unsetenv("KD_CHILD_REPLACED");
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto& out = run.out;
    EXPECT_NE(out.find("\nKD_CHILD_INHERITED=kept\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\nKD_CHILD_REPLACED=new\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("KD_CHILD_REPLACED=old"), std::string::npos) << "replaced, not doubled";
    EXPECT_NE(out.find("\nKD_CHILD_ADDED=a = b\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace kd
