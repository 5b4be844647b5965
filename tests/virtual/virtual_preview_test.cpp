// The preview window's logic over a recording window, on the simulated Mac
// and virtual time.

#include "virtual/virtual_preview.h"

#include <gtest/gtest.h>

#include "display/sim_preferences.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/sim_platform.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr DisplayID kPreviewedPanel = 1;  // 4112 pixels wide

struct WindowRecord {
    bool onScreen = true;
    std::vector<int> imageWidths;
    std::function<void()> close;  // as the user would
};

class RecordingWindows : public PreviewWindows {
  public:
    class Window : public PreviewWindow {
      public:
        Window(std::shared_ptr<WindowRecord> record, double scale, double width)
            : record_(std::move(record)), scale_(scale), width_(width) {}
        ~Window() override { record_->onScreen = false; }
        double backingScale() const override { return scale_; }
        double widthPoints() const override { return width_; }
        void show(Image image) override { record_->imageWidths.push_back(image.width); }

      private:
        std::shared_ptr<WindowRecord> record_;
        double scale_, width_;
    };

    std::unique_ptr<PreviewWindow> open(const std::string& title, int width, int height,
                                        std::function<void()> onClose) override {
        EXPECT_EQ(title, "Virtual Display");
        EXPECT_EQ(width, 960);
        EXPECT_EQ(height, 540);
        opened.push_back(std::make_shared<WindowRecord>());
        opened.back()->close = std::move(onClose);
        return std::make_unique<Window>(opened.back(), scale, widthPoints);
    }

    double scale = 2;
    double widthPoints = 960;
    std::vector<std::shared_ptr<WindowRecord>> opened;
};

class VirtualPreviewTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac{defaultScenario(), scheduler};
    testing::MachinePorts machine;
    Platform platform = testing::simPlatform(scheduler, mac, defaults, machine, "");
    RecordingWindows windows;
    BrowserShare share{platform, 0};
    VirtualPreview preview{platform, windows, share};
};

TEST(PreviewFrameWidth, FollowsTheScreensScaleUpTo2560) {
    EXPECT_EQ(previewFrameWidth(960, 2), 1920);
    EXPECT_EQ(previewFrameWidth(1500, 2), 2560);
    EXPECT_EQ(previewFrameWidth(960, 1), 960);
    EXPECT_EQ(previewFrameWidth(960, 0), 1920) << "no screen counts as Retina";
    EXPECT_EQ(previewFrameWidth(960, 0.4), 960) << "never below 1";
    EXPECT_EQ(previewFrameWidth(800.9, 1.6), 1600);
}

TEST_F(VirtualPreviewTest, ShowsTheDisplayAtTheWindowsPixelWidth) {
    preview.show(std::nullopt);
    EXPECT_TRUE(windows.opened.empty());
    EXPECT_FALSE(preview.open.get());

    preview.show(kPreviewedPanel);
    EXPECT_TRUE(preview.open.get());
    scheduler.advance(40ms);
    ASSERT_EQ(windows.opened.size(), 1u);
    ASSERT_FALSE(windows.opened[0]->imageWidths.empty());
    EXPECT_EQ(windows.opened[0]->imageWidths.front(), 1920);

    windows.widthPoints = 1500;
    preview.show(kPreviewedPanel);
    scheduler.advance(40ms);
    ASSERT_EQ(windows.opened.size(), 2u);
    EXPECT_FALSE(windows.opened[0]->onScreen) << "showing again leaves one window";
    EXPECT_EQ(mac.screenCapture().runningStreamCount(), 1u);
    ASSERT_FALSE(windows.opened[1]->imageWidths.empty());
    EXPECT_EQ(windows.opened[1]->imageWidths.back(), 2560);
}

TEST_F(VirtualPreviewTest, ToggleAlternatesAndTheUserMayCloseIt) {
    preview.toggle(kPreviewedPanel);
    EXPECT_TRUE(preview.open.get());
    preview.toggle(kPreviewedPanel);
    EXPECT_FALSE(preview.open.get());
    EXPECT_FALSE(windows.opened[0]->onScreen);

    preview.toggle(kPreviewedPanel);
    windows.opened[1]->close();
    EXPECT_FALSE(preview.open.get());
    EXPECT_FALSE(windows.opened[1]->onScreen);
    scheduler.runUntilIdle();
    EXPECT_EQ(mac.screenCapture().runningStreamCount(), 0u);
}

TEST_F(VirtualPreviewTest, WithoutPermissionTheShareAsksAndNoWindowOpens) {
    mac.screenCapturePermission().setAllowed(false);
    preview.show(kPreviewedPanel);
    EXPECT_TRUE(windows.opened.empty());
    EXPECT_FALSE(preview.open.get());
    EXPECT_TRUE(share.needsPermission.get());
    EXPECT_EQ(share.status.get(), kShareNeedsPermissionText);
    EXPECT_EQ(mac.screenCapturePermission().requestsShown(), 1);
}

TEST_F(VirtualPreviewTest, ACaptureFailureClosesItSilently) {
    preview.show(kPreviewedPanel);
    scheduler.advance(40ms);
    mac.screenCapture().endStreams("the display went away");
    scheduler.advance(40ms);
    EXPECT_FALSE(preview.open.get());
    EXPECT_FALSE(windows.opened[0]->onScreen);
    EXPECT_EQ(share.status.get(), "");
}

}  // namespace
}  // namespace kd
