#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/display_mode.h"
#include "mode_samples.h"

namespace kd {
namespace {

using samples::mode;
using samples::systemMode;

TEST(DisplayModeTest, LabelsSpellSizeHiDPIAndRefresh) {
    struct Case {
        DisplayMode mode;
        const char* sizeLabel;
        const char* label;
    };
    const Case cases[] = {
        {mode(1, 1920, 1080, true, 60), "1920 \u00d7 1080 HiDPI",
         "1920 \u00d7 1080 HiDPI \u00b7 60 Hz"},
        {mode(2, 2388, 1668, false, 120), "2388 \u00d7 1668", "2388 \u00d7 1668 \u00b7 120 Hz"},
        {mode(3, 1280, 720, false, 0), "1280 \u00d7 720", "1280 \u00d7 720"},
        {mode(4, 1280, 720, true, 0.5), "1280 \u00d7 720 HiDPI", "1280 \u00d7 720 HiDPI"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.mode.sizeLabel(), c.sizeLabel);
        EXPECT_EQ(c.mode.label(), c.label);
    }
}

TEST(DisplayModeTest, RefreshIsWholeHertzAndNonsenseIsNone) {
    struct Case {
        double system;
        int refresh;
    };
    const Case cases[] = {
        {59.94, 59}, {120.0, 120},      {0.0, 0},
        {-60.0, 0},  {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 0},
        {1e12, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(displayModeFrom(systemMode(1, 100, 100, 100, 100, c.system)).refresh, c.refresh)
            << c.system;
    }
}

}  // namespace
}  // namespace kd
