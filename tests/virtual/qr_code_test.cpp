#include <gtest/gtest.h>

#include "virtual/qr_code.h"

namespace kd {
namespace {

constexpr const char* kAddress = "http://192.168.1.2:8765/abc123";

TEST(QrCode, PictureHasAFinderPatternInsideALightMargin) {
    const auto modules = qrModules(kAddress);
    ASSERT_TRUE(modules);
    const auto image = qrImage(kAddress);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, (modules->size + 2) * 8);
    EXPECT_EQ(image->height, image->width);
    const auto red = [&](int x, int y) {
        return image->rgba[(static_cast<std::size_t>(y) * image->width + x) * 4];
    };
    EXPECT_EQ(red(3, 3), 0xff);  // margin
    // A finder pattern: dark ring, light ring, dark centre, one module each
    // (the centre is three modules wide).
    EXPECT_EQ(red(8 + 4, 8 + 4), 0);
    EXPECT_EQ(red(16 + 4, 16 + 4), 0xff);
    EXPECT_EQ(red(32 + 4, 32 + 4), 0);
    EXPECT_EQ(image->rgba[3], 0xff);  // opaque
}

TEST(QrCode, NothingForEmptyOrOverlongText) {
    EXPECT_FALSE(qrImage(""));
    EXPECT_TRUE(terminalQr("").empty());
    EXPECT_FALSE(qrImage(std::string(8000, 'x')));
}

TEST(QrCode, TerminalDrawingPacksTwoRowsALineInsideAQuietZone) {
    const auto modules = qrModules(kAddress);
    ASSERT_TRUE(modules);
    const auto lines = terminalQr(kAddress);
    const int rows = modules->size + 8;
    ASSERT_EQ(static_cast<int>(lines.size()), (rows + 1) / 2);
    // The first two lines are quiet zone: nothing but light cells.
    const std::string light =
        "\x1b[30;107m" + std::string(static_cast<std::size_t>(rows), ' ') + "\x1b[0m";
    EXPECT_EQ(lines[0], light);
    EXPECT_EQ(lines[1], light);
    // The third holds a finder pattern's first two rows after four light
    // cells: a full dark row over a dark-light-dark row.
    EXPECT_EQ(lines[2].substr(9, 4), "    ");
    EXPECT_EQ(lines[2].substr(13, 7 * 3), "\u2588\u2580\u2580\u2580\u2580\u2580\u2588");
}

}  // namespace
}  // namespace kd
