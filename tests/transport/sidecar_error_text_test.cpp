#include "transport/sidecar_error_text.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(SidecarErrorTextTest, KnownCodesAreExplainedWhateverSidecarSays) {
    const std::pair<std::int64_t, const char*> table[] = {
        {-100, "The iPad is still busy with the previous connection \u2014 give it a few seconds"},
        {-203, "The iPad is locked or asleep \u2014 unlock it and try again"},
        {-204, "The iPad is out of range or Wi-Fi is off on it"},
        {-205, "The iPad is already connected to another Mac"},
        {-206, "This iPad doesn't support Sidecar"},
        {-207, "Sign in with the same Apple Account on both devices"},
        {-401, "The iPad refused these display settings \u2014 try the native resolution at 60 Hz"},
        {-453,
         "Sidecar can't start while an AirPlay screen is running \u2014 disconnect it, connect "
         "the iPad, then bring it back"},
        {-6745, "Blocked by the firewall \u2014 allow incoming connections for Kelvane Display"},
    };
    for (const auto& [code, want] : table) {
        EXPECT_EQ(sidecarErrorText(code, "Operation failed", "The operation couldn't be completed"),
                  want)
            << code;
    }
}

TEST(SidecarErrorTextTest, OtherCodesShowTheCodeAndSidecarsReason) {
    EXPECT_EQ(sidecarErrorText(12, "Device unreachable", "The operation couldn't be completed"),
              "Sidecar refused the connection (12): Device unreachable");
    EXPECT_EQ(sidecarErrorText(-1, std::nullopt, "The operation couldn't be completed"),
              "Sidecar refused the connection (-1): The operation couldn't be completed");
    EXPECT_EQ(sidecarErrorText(-452, "", "The operation couldn't be completed"),
              "Sidecar refused the connection (-452): The operation couldn't be completed")
        << "an empty reason is no reason";
}

}  // namespace
}  // namespace kd
