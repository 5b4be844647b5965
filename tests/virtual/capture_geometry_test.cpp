#include "virtual/capture_geometry.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kd {
namespace {

using std::chrono::duration_cast;
using std::chrono::nanoseconds;

TEST(CaptureGeometryTest, ScalesDownToEvenSizesButNeverUp) {
    struct Row {
        int width, height, maxWidth;
        int expectedWidth, expectedHeight;
    };
    const Row rows[] = {
        {3840, 2160, 1920, 1920, 1080}, {3840, 2160, 5000, 3840, 2160},
        {1366, 768, 1000, 1000, 562},  // 561.8… rounds down, then stays even
        {1921, 1081, 5000, 1920, 1080}, {884, 1920, 1280, 884, 1920},
        {1920, 1080, 1001, 1000, 562},  // 1001 × 563 made even
        {1920, 1080, 0, 2, 2},          // a picture remains
    };
    for (const auto& row : rows) {
        const auto geometry = captureGeometry(row.width, row.height, row.maxWidth, 30);
        EXPECT_EQ(geometry.width, row.expectedWidth) << row.width << "×" << row.maxWidth;
        EXPECT_EQ(geometry.height, row.expectedHeight) << row.width << "×" << row.maxWidth;
    }
}

TEST(CaptureGeometryTest, FramesComeAtMostTwiceTheRate) {
    EXPECT_EQ(
        duration_cast<nanoseconds>(captureGeometry(1920, 1080, 1920, 15).minimumFrameInterval),
        nanoseconds(33'333'333));
    EXPECT_EQ(
        duration_cast<nanoseconds>(captureGeometry(1920, 1080, 1920, 30).minimumFrameInterval),
        nanoseconds(16'666'666));
    EXPECT_EQ(captureGeometry(1920, 1080, 1920, 0).minimumFrameInterval,
              captureGeometry(1920, 1080, 1920, 1).minimumFrameInterval);
}

}  // namespace
}  // namespace kd
