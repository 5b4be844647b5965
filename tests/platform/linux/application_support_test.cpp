#include "platform/linux/application_support.h"

#include <gtest/gtest.h>

#include "support/saved_variable.h"

namespace kd {
namespace {

TEST(ApplicationSupportTest, DataHomeFirstThenTheHomeFolder) {
    const testing::SavedVariable home("HOME", "/home/ada");
    const testing::SavedVariable data("XDG_DATA_HOME", "/data/ada");
    EXPECT_EQ(applicationSupportFolder(), "/data/ada");
    for (const char* ignored : {"", "relative/share"}) {
        ::setenv("XDG_DATA_HOME", ignored, 1);
        EXPECT_EQ(applicationSupportFolder(), "/home/ada/.local/share") << ignored;
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(applicationSupportFolder(), "/home/ada/.local/share");

    ::setenv("HOME", "home/ada", 1);
    EXPECT_THROW(applicationSupportFolder(), std::runtime_error);
}

}  // namespace
}  // namespace kd
