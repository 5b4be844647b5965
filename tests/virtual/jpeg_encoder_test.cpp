#include "virtual/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "virtual/jpeg_test_support.h"

namespace kd {
namespace {

TEST(JpegEncoderTest, QualityMapsOntoTheJpegScale) {
    EXPECT_EQ(jpegQuality(0.6), 60);
    EXPECT_EQ(jpegQuality(1.0), 100);
    EXPECT_EQ(jpegQuality(0.0), 1);
    EXPECT_EQ(jpegQuality(7.0), 100);
    EXPECT_EQ(jpegQuality(-1.0), 1);
    EXPECT_EQ(jpegQuality(std::numeric_limits<double>::quiet_NaN()), 1);
}

// Left half pure red, right half pure blue, with padding after each row and
// garbage in the fourth byte, as a capture may hand them over.
std::vector<std::uint8_t> redAndBlue(int width, int height, std::size_t stride) {
    std::vector<std::uint8_t> pixels(stride * height, 0x5a);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = pixels.data() + y * stride + x * 4;
            const bool red = x < width / 2;
            p[0] = red ? 0 : 255;  // blue
            p[1] = 0;
            p[2] = red ? 255 : 0;
            p[3] = 0x11;
        }
    }
    return pixels;
}

TEST(JpegEncoderTest, EncodesBgraRowsWithPaddingInTheirColours) {
    const int width = 64, height = 32;
    const std::size_t stride = width * 4 + 40;
    const auto pixels = redAndBlue(width, height, stride);
    JpegEncoder encoder;
    const auto jpeg = encoder.encode(pixels.data(), width, height, stride, 0.9);
    ASSERT_TRUE(jpeg);
    const auto decoded = testing::decodeJpeg(*jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, width);
    EXPECT_EQ(decoded->height, height);
    const auto at = [&](int x, int y) { return decoded->bgrx.data() + (y * width + x) * 4; };
    EXPECT_GT(at(8, 16)[2], 230);  // red stays red
    EXPECT_LT(at(8, 16)[0], 25);
    EXPECT_GT(at(56, 16)[0], 230);  // blue stays blue
    EXPECT_LT(at(56, 16)[2], 25);
}

TEST(JpegEncoderTest, ReusesItsBufferAcrossSizesAndRefusesNonsense) {
    JpegEncoder encoder;
    const auto big = redAndBlue(320, 200, 320 * 4);
    const auto small = redAndBlue(16, 16, 16 * 4);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(encoder.encode(big.data(), 320, 200, 320 * 4, 0.6));
        const auto again = encoder.encode(small.data(), 16, 16, 16 * 4, 0.6);
        ASSERT_TRUE(again);
        EXPECT_EQ(testing::decodeJpeg(*again)->width, 16);
    }
    EXPECT_FALSE(encoder.encode(small.data(), 16, 16, 16 * 3, 0.6));  // stride shorter than a row
    EXPECT_FALSE(encoder.encode(nullptr, 16, 16, 16 * 4, 0.6));
    EXPECT_FALSE(encoder.encode(small.data(), 0, 16, 16 * 4, 0.6));
}

TEST(JpegEncoderTest, HigherQualityKeepsMoreDetail) {
    const int width = 128, height = 128;
    std::vector<std::uint8_t> noise(width * height * 4);
    std::srand(7);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(std::rand());
    JpegEncoder encoder;
    const auto low = encoder.encode(noise.data(), width, height, width * 4, 0.2);
    const auto high = encoder.encode(noise.data(), width, height, width * 4, 0.95);
    ASSERT_TRUE(low && high);
    EXPECT_LT(low->size(), high->size());
}

}  // namespace
}  // namespace kd
