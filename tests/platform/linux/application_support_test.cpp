#include "platform/linux/application_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kd {
namespace {

// Puts the variable back as it was when the test ends.
class SavedVariable {
  public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) saved_ = value;
    }
    ~SavedVariable() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(ApplicationSupportTest, DataHomeFirstThenTheHomeFolder) {
    const SavedVariable data("XDG_DATA_HOME");
    const SavedVariable home("HOME");
    ::setenv("HOME", "/home/ada", 1);

    ::setenv("XDG_DATA_HOME", "/data/ada", 1);
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
