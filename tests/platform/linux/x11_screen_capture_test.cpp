#include "platform/linux/x11_screen_capture.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/x_screen_grabber.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/xvfb_server.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr DisplayID kOnX = 7;
constexpr DisplayID kElsewhere = 8;
constexpr auto kInterval = 100ms;

// The window server's view: both displays exist; it knows nothing of X
// and says so by the sizes it reports. It records what is left to it.
class ListedDisplays : public ScreenCapture {
  public:
    std::vector<CapturableDisplay> capturableDisplays() override {
        return {{kOnX, 1, 1}, {kElsewhere, 640, 480}};
    }
    CaptureStart start(const CaptureConfiguration& configuration, const Queue&,
                       CaptureCallbacks) override {
        started.push_back(configuration.display);
        return std::string("not here");
    }
    std::vector<DisplayID> started;
};

// Draws on the root window from a client of its own, and waits until the
// server has done it.
class Painter {
  public:
    explicit Painter(const std::string& display)
        : connection_(xcb_connect(display.c_str(), nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        gc_ = xcb_generate_id(connection_);
        xcb_create_gc(connection_, gc_, screen_->root, 0, nullptr);
    }
    ~Painter() { xcb_disconnect(connection_); }

    void fill(std::uint32_t rgb, std::int16_t x, std::int16_t y, std::uint16_t w, std::uint16_t h) {
        xcb_change_gc(connection_, gc_, XCB_GC_FOREGROUND, &rgb);
        const xcb_rectangle_t rectangle{x, y, w, h};
        xcb_poly_fill_rectangle(connection_, screen_->root, gc_, 1, &rectangle);
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

  private:
    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
    xcb_gcontext_t gc_ = 0;
};

struct Seen {
    FrameStatus status;
    int width;
    int height;
    std::vector<std::uint8_t> firstPixel;  // at (x, y) as asked
};

class X11ScreenCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!xvfb.available()) GTEST_SKIP() << "No X server for the capture: " << xvfb.reason();
    }

    CaptureStart start(int width, int height, int probeX, int probeY) {
        CaptureCallbacks callbacks;
        callbacks.onFrame = [=, this](const CapturedFrame& frame) {
            const std::uint8_t* pixel = frame.pixels + probeY * frame.stride + probeX * 4;
            seen.push_back({frame.status, frame.width, frame.height, {pixel, pixel + 3}});
        };
        callbacks.onStopped = [this](const std::string& error) { stopped.push_back(error); };
        return capture.start({kOnX, width, height, kInterval}, Queue::serial(kCaptureQueueLabel),
                             std::move(callbacks));
    }

    testing::XvfbServer xvfb{320, 200};
    VirtualScheduler scheduler;
    ListedDisplays windowServer;
    X11ScreenCapture capture{scheduler,
                             [this](DisplayID id) -> std::optional<std::string> {
                                 if (id != kOnX) return std::nullopt;
                                 return xvfb.name();
                             },
                             windowServer};
    std::vector<Seen> seen;
    std::vector<std::string> stopped;
};

const std::vector<std::uint8_t> kBlack = {0, 0, 0};
const std::vector<std::uint8_t> kRed = {0, 0, 255};  // BGR

TEST_F(X11ScreenCaptureTest, ListsTheXScreensSizeAndLeavesOtherDisplaysToTheFallback) {
    const auto displays = capture.capturableDisplays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0], (CapturableDisplay{kOnX, 320, 200}));
    EXPECT_EQ(displays[1], (CapturableDisplay{kElsewhere, 640, 480}));

    const auto elsewhere =
        capture.start({kElsewhere, 640, 480, kInterval}, Queue::serial(kCaptureQueueLabel), {});
    EXPECT_EQ(std::get<std::string>(elsewhere), "not here");
    EXPECT_EQ(windowServer.started, std::vector<DisplayID>{kElsewhere});
}

TEST_F(X11ScreenCaptureTest, FramesShowDrawingAndAreIdleWhileNothingIsDrawn) {
    auto stream = start(320, 200, 20, 20);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<CaptureStream>>(stream))
        << std::get<std::string>(stream);
    scheduler.runUntilIdle();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].status, FrameStatus::complete);
    EXPECT_EQ(seen[0].width, 320);
    EXPECT_EQ(seen[0].height, 200);
    EXPECT_EQ(seen[0].firstPixel, kBlack);

    scheduler.advance(kInterval * 2);  // nothing drawn
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].status, FrameStatus::idle);
    EXPECT_EQ(seen[2].status, FrameStatus::idle);

    Painter painter(xvfb.name());
    painter.fill(0xff0000, 10, 10, 50, 50);
    scheduler.advance(kInterval);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].status, FrameStatus::complete);
    EXPECT_EQ(seen[3].firstPixel, kRed);
    scheduler.advance(kInterval);
    EXPECT_EQ(seen.back().status, FrameStatus::idle);
    EXPECT_EQ(seen.back().firstPixel, kRed);  // an idle frame still holds the picture
    EXPECT_TRUE(stopped.empty());
}

// Xvfb offers both: a capture that fell back to copying every picture, or
// to calling every frame new, would still pass the tests above.
TEST_F(X11ScreenCaptureTest, TakesPicturesThroughSharedMemoryAndTracksDamage) {
    auto opened = XScreenGrabber::open(xvfb.name());
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<XScreenGrabber>>(opened));
    const auto& grabber = std::get<std::unique_ptr<XScreenGrabber>>(opened);
    EXPECT_TRUE(grabber->sharedMemory());
    EXPECT_TRUE(grabber->tracksDamage());
}

TEST_F(X11ScreenCaptureTest, ScalesToTheConfiguredSize) {
    Painter painter(xvfb.name());
    painter.fill(0xff0000, 0, 0, 160, 100);  // the top-left quarter
    auto stream = start(160, 100, 30, 30);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<CaptureStream>>(stream));
    scheduler.runUntilIdle();
    scheduler.advance(kInterval);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].width, 160);
    EXPECT_EQ(seen[0].height, 100);
    EXPECT_EQ(seen[0].firstPixel, kRed);
    EXPECT_EQ(seen[1].status, FrameStatus::idle);
    EXPECT_EQ(seen[1].firstPixel, kRed);
}

TEST_F(X11ScreenCaptureTest, ServerGoingAwayEndsTheStreamOnce) {
    auto stream = start(320, 200, 0, 0);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<CaptureStream>>(stream));
    scheduler.runUntilIdle();
    xvfb.kill();
    scheduler.advance(kInterval * 5);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(stopped,
              std::vector<std::string>{"The X display " + xvfb.name() + " closed the connection."});
    // A new start finds nobody there, and says which display.
    const auto again = start(320, 200, 0, 0);
    EXPECT_EQ(std::get<std::string>(again), "Cannot open the X display " + xvfb.name() + ".");
}

}  // namespace
}  // namespace kd
