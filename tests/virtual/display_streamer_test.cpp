#include "virtual/display_streamer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "display/sim_screens.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "virtual/jpeg_test_support.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr DisplayID kVirtual = 40;

class DisplayStreamerTest : public ::testing::Test {
  protected:
    DisplayStreamerTest() {
        mac.windowServer().plugIn(screens::display(kVirtual, "Virtual", {1512, 0, 3840, 2160}));
        streamer.setOnFrame([this](const JpegFrame& frame) {
            frames.push_back(frame);
            times.push_back(scheduler.now());
        });
        streamer.setOnError([this](const std::string& error) { errors.push_back(error); });
    }

    VirtualScheduler scheduler;
    SimMac mac{defaultScenario(), scheduler};
    SimScreenCapture& capture = mac.screenCapture();
    DisplayStreamer streamer{scheduler, capture};
    std::vector<JpegFrame> frames;
    std::vector<Scheduler::TimePoint> times;
    std::vector<std::string> errors;
};

TEST_F(DisplayStreamerTest, DeliversScaledJpegsAtTwiceTheRate) {
    streamer.start(kVirtual, 15, 1920);
    scheduler.runUntilIdle();
    scheduler.advance(1s - 1ms);
    EXPECT_EQ(frames.size(), 30u);
    const auto decoded = testing::decodeJpeg(*frames.back().bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 1920);
    EXPECT_EQ(decoded->height, 1080);
    EXPECT_EQ(frames.back().width, 1920);
    EXPECT_EQ(frames.back().height, 1080);
    EXPECT_NE(*frames.front().bytes, *frames.back().bytes);  // the picture moves
    EXPECT_TRUE(errors.empty());
}

TEST_F(DisplayStreamerTest, StillScreenKeepsViewersFreshWithoutEncoding) {
    streamer.start(kVirtual, 30, 640);
    scheduler.runUntilIdle();
    scheduler.advance(100ms);
    capture.holdStill(true);
    scheduler.advance(20ms);  // the last moving frame
    const auto stillFrom = frames.size();
    const auto lastPicture = frames.back().bytes;
    scheduler.advance(6s);
    ASSERT_GE(frames.size() - stillFrom, 5u);
    EXPECT_LE(frames.size() - stillFrom, 7u);
    for (auto i = stillFrom; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].bytes, lastPicture);  // the same bytes again, not a new encoding
        EXPECT_LE(times[i] - times[i - 1], 1100ms);
    }
    capture.holdStill(false);
    const auto movingAgain = frames.size();
    scheduler.advance(100ms);
    ASSERT_GT(frames.size(), movingAgain);
    EXPECT_NE(frames.back().bytes, lastPicture);
}

TEST_F(DisplayStreamerTest, ImagesAreStraightRgbaOfTheScaledSize) {
    std::vector<Image> images;
    streamer.setOnImage([&](Image image) { images.push_back(std::move(image)); });
    streamer.start(kVirtual, 1, 960);
    scheduler.runUntilIdle();
    ASSERT_EQ(images.size(), 1u);
    ASSERT_EQ(images[0].width, 960);
    ASSERT_EQ(images[0].height, 540);
    // The generated picture's bottom-right corner is far from the band:
    // blue-heavy, opaque.
    const std::uint8_t* corner = images[0].rgba.data() + images[0].rgba.size() - 4;
    EXPECT_GT(corner[2], corner[0]);  // blue over red
    EXPECT_EQ(corner[3], 255);
    EXPECT_EQ(frames.size(), 1u);
}

TEST_F(DisplayStreamerTest, ReportsEachFailureOnceWithItsText) {
    DisplayStreamer unknown(scheduler, capture);
    std::vector<std::string> unknownErrors;
    unknown.setOnError([&](const std::string& error) { unknownErrors.push_back(error); });
    unknown.start(99, 30, 1920);

    capture.refuseCapture(true);
    streamer.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    EXPECT_EQ(unknownErrors, std::vector<std::string>{"That display is not capturable"});
    EXPECT_EQ(errors, std::vector<std::string>{"That display is not capturable"});
    EXPECT_TRUE(frames.empty());
}

TEST_F(DisplayStreamerTest, FailedStartHoldsNoStreamAndDeliversNothing) {
    capture.failNextStart("The stream could not be created.");
    streamer.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    scheduler.advance(1s);
    EXPECT_EQ(errors, std::vector<std::string>{"Capture failed: The stream could not be created."});
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(capture.runningStreamCount(), 0u);
    streamer.stop();
    scheduler.runUntilIdle();
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(DisplayStreamerTest, StreamEndingOnItsOwnIsReportedAndStopsFrames) {
    streamer.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    scheduler.advance(100ms);
    capture.endStreams("The display was disconnected.");
    scheduler.advance(100ms);
    const auto delivered = frames.size();
    scheduler.advance(2s);
    EXPECT_EQ(frames.size(), delivered);
    EXPECT_EQ(errors, std::vector<std::string>{"Capture stopped: The display was disconnected."});
    EXPECT_EQ(capture.runningStreamCount(), 0u);
}

TEST_F(DisplayStreamerTest, StopBeforeTheCaptureStartsLeavesNothingRunning) {
    streamer.start(kVirtual, 30, 1920);
    streamer.stop();
    scheduler.runUntilIdle();
    scheduler.advance(1s);
    EXPECT_TRUE(frames.empty());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(capture.runningStreamCount(), 0u);
}

// A capture service that hands the test the callbacks of the stream it
// starts, to play the service's side at the moments that matter.
class HandOverCapture : public ScreenCapture {
  public:
    struct IdleStream : CaptureStream {
        void stop() override {}
    };
    std::vector<CapturableDisplay> capturableDisplays() override { return {{kVirtual, 64, 32}}; }
    CaptureStart start(const CaptureConfiguration&, const Queue&, CaptureCallbacks given) override {
        callbacks = std::move(given);
        return std::make_unique<IdleStream>();
    }
    CaptureCallbacks callbacks;
};

TEST_F(DisplayStreamerTest, NothingArrivesAfterStopEvenWhatWasOnItsWay) {
    HandOverCapture service;
    DisplayStreamer handed(scheduler, service);
    handed.setOnFrame([&](const JpegFrame& frame) { frames.push_back(frame); });
    handed.setOnError([&](const std::string& error) { errors.push_back(error); });
    handed.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    ASSERT_TRUE(service.callbacks.onStopped);

    service.callbacks.onStopped("The display was disconnected.");  // posted to the main queue…
    handed.stop();                                                 // …which the owner stops first
    std::vector<std::uint8_t> pixels(64 * 32 * 4);
    service.callbacks.onFrame({FrameStatus::complete, pixels.data(), 64, 32, 64 * 4});
    scheduler.runUntilIdle();
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(frames.empty());
}

TEST_F(DisplayStreamerTest, StopFromInsideAFrameIsTheLastFrame) {
    streamer.setOnFrame([this](const JpegFrame& frame) {
        frames.push_back(frame);
        if (frames.size() == 3) streamer.stop();
    });
    streamer.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    scheduler.advance(1s);
    EXPECT_EQ(frames.size(), 3u);
    EXPECT_EQ(capture.runningStreamCount(), 0u);
}

TEST_F(DisplayStreamerTest, SecondStartReplacesTheFirstCapture) {
    streamer.start(kVirtual, 30, 640);
    scheduler.runUntilIdle();
    streamer.start(kVirtual, 30, 320);
    const auto before = frames.size();
    scheduler.runUntilIdle();
    scheduler.advance(200ms);
    ASSERT_GT(frames.size(), before);
    for (auto i = before; i < frames.size(); ++i) EXPECT_EQ(frames[i].width, 320);
    EXPECT_EQ(capture.runningStreamCount(), 1u);
}

TEST_F(DisplayStreamerTest, QualityChangesTakeHoldAtTheNextFrame) {
    streamer.setQuality(0.1);
    streamer.start(kVirtual, 30, 1920);
    scheduler.runUntilIdle();
    streamer.setQuality(1.0);
    scheduler.advance(34ms);
    ASSERT_GE(frames.size(), 2u);
    EXPECT_LT(frames.front().bytes->size() * 2, frames.back().bytes->size());
}

}  // namespace
}  // namespace kd
