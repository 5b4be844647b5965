// The streamer over the Linux capture, on a real X server: what a viewer of
// the browser share gets from an Xvfb-backed virtual display.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>

#include "display/sim_screens.h"
#include "platform/linux/x11_screen_capture.h"
#include "platform/sim/sim_screen_capture.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/xvfb_server.h"
#include "virtual/display_streamer.h"
#include "virtual/jpeg_test_support.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr DisplayID kXvfbBacked = 40;

void fillRed(const std::string& display, std::int16_t x, std::int16_t y, std::uint16_t w,
             std::uint16_t h) {
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    const std::uint32_t red = 0xff0000;
    xcb_create_gc(connection, gc, screen->root, XCB_GC_FOREGROUND, &red);
    const xcb_rectangle_t rectangle{x, y, w, h};
    xcb_poly_fill_rectangle(connection, screen->root, gc, 1, &rectangle);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
}

TEST(StreamerOnXvfbTest, ViewersSeeTheScreenScaledAndKeepItWhileItIsStill) {
    testing::XvfbServer xvfb(640, 360);
    if (!xvfb.available()) GTEST_SKIP() << "No X server for the capture: " << xvfb.reason();
    VirtualScheduler scheduler;
    SimWindowServer windowServer({screens::display(kXvfbBacked, "Virtual", {0, 0, 640, 360})},
                                 scheduler);
    SimScreenCapture generated(scheduler, windowServer);
    X11ScreenCapture capture(
        scheduler,
        [&xvfb](DisplayID id) -> std::optional<std::string> {
            if (id != kXvfbBacked) return std::nullopt;
            return xvfb.name();
        },
        generated);

    DisplayStreamer streamer(scheduler, capture);
    std::vector<JpegFrame> frames;
    std::vector<std::string> errors;
    streamer.setOnFrame([&](const JpegFrame& frame) { frames.push_back(frame); });
    streamer.setOnError([&](const std::string& error) { errors.push_back(error); });
    streamer.start(kXvfbBacked, 10, 320);
    scheduler.runUntilIdle();
    ASSERT_EQ(frames.size(), 1u) << (errors.empty() ? "" : errors[0]);

    fillRed(xvfb.name(), 0, 0, 320, 180);  // the top-left quarter
    scheduler.advance(50ms);
    ASSERT_EQ(frames.size(), 2u);
    const auto decoded = testing::decodeJpeg(*frames[1].bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 320);
    EXPECT_EQ(decoded->height, 180);
    const std::uint8_t* insideRed = decoded->bgrx.data() + (40 * 320 + 40) * 4;
    EXPECT_GT(insideRed[2], 200);
    EXPECT_LT(insideRed[1], 40);
    const std::uint8_t* outside = decoded->bgrx.data() + (140 * 320 + 280) * 4;
    EXPECT_LT(outside[2], 40);

    // Nothing drawn for three seconds: no new encoding, the last frame again
    // about once a second.
    scheduler.advance(3s);
    EXPECT_GE(frames.size(), 4u);
    EXPECT_LE(frames.size(), 5u);
    EXPECT_EQ(frames.back().bytes, frames[1].bytes);
    EXPECT_TRUE(errors.empty());

    xvfb.kill();
    scheduler.advance(100ms);
    EXPECT_EQ(errors, std::vector<std::string>{"Capture stopped: The X display " + xvfb.name() +
                                               " closed the connection."});
}

}  // namespace
}  // namespace kd
